"""Sources scripts/node-path under each NODE_PATH a user may have set and checks that Debian's
folder, where its Emscripten's modules are, is added to the user's folders rather than put in
their place; then that every script that names NODE_PATH takes it from scripts/node-path alone.

usage: node_path_test.py SCRIPTS_DIR
"""

import os
import re
import subprocess
import sys

SCRIPTS = sys.argv[1]
DEBIAN = "/usr/share/nodejs"

# name, the user's NODE_PATH (None: unset), the NODE_PATH the scripts run with
CASES = [
    ("unset", None, DEBIAN),
    ("empty", "", DEBIAN),
    ("one folder of the user's", "/opt/mods", f"/opt/mods:{DEBIAN}"),
    ("two folders of the user's", "/opt/a:/home/u/b", f"/opt/a:/home/u/b:{DEBIAN}"),
    ("Debian's already first", f"{DEBIAN}:/opt/mods", f"{DEBIAN}:/opt/mods"),
    ("Debian's already last", f"/opt/mods:{DEBIAN}", f"/opt/mods:{DEBIAN}"),
    ("a folder that only begins as Debian's", f"{DEBIAN}-old", f"{DEBIAN}-old:{DEBIAN}"),
]


def sourced(user):
    env = {k: v for k, v in os.environ.items() if k != "NODE_PATH"}
    if user is not None:
        env["NODE_PATH"] = user
    done = subprocess.run(["bash", "-c", f'set -u; . "{SCRIPTS}/node-path"; printenv NODE_PATH'],
                          env=env, capture_output=True, text=True, timeout=30)
    return done.returncode, done.stdout.strip(), done.stderr


failures = []
for name, user, expected in CASES:
    status, got, err = sourced(user)
    if status != 0 or got != expected:
        failures.append(f"{name}: status {status}, NODE_PATH {got!r}, expected {expected!r} {err}")

for script in sorted(os.listdir(SCRIPTS)):
    path = os.path.join(SCRIPTS, script)
    if script == "node-path" or not os.path.isfile(path):
        continue
    with open(path, errors="replace") as text:
        lines = [line for line in text if not line.lstrip().startswith("#")]
    if any(re.search(r"\bNODE_PATH\s*=", line) for line in lines):
        failures.append(f"{script} sets NODE_PATH itself rather than through scripts/node-path")

print("\n".join(failures) or f"{len(CASES)} cases and every script passed")
sys.exit(1 if failures else 0)
