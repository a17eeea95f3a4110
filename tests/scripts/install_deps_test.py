"""Runs scripts/install-deps against package lists and stand-ins for id, sudo and apt-get,
and checks whom it asks to install what: itself as root, sudo otherwise, and with neither one
line that names the missing packages and the command to install them.

usage: install_deps_test.py SCRIPTS_DIR
"""

import os
import shutil
import stat
import subprocess
import sys
import tempfile

SCRIPT = os.path.join(sys.argv[1], "install-deps")
PRESENT = "dpkg"  # installed on every Debian system
MISSING = ["lineq-test-absent-one", "lineq-test-absent-two"]
LISTS = {
    "first": f"# a comment\n\n{PRESENT}\n{MISSING[0]}\n",
    "second": f"{MISSING[1]}  # the rest of a line is not a package\n",
    "present": f"{PRESENT}\n",
    # bash is on the stand-ins' PATH; the other command is nowhere.
    "tools": f"lineq-test-tool-present unless=bash\n{MISSING[0]} unless=lineq-no-such-command\n",
}
APT = f"apt-get install -y --no-install-recommends {' '.join(MISSING)} -qq"

# name, lists, user id, sudo on PATH, expected status, expected log of commands, stderr needs
CASES = [
    ("nothing missing", ["present"], 1000, False, 0, [], []),
    ("root installs itself", ["first", "second"], 0, True, 0,
     ["apt-get update -qq", APT], []),
    ("a user goes through sudo", ["first", "second"], 1000, True, 0,
     ["sudo apt-get update -qq", "apt-get update -qq", f"sudo {APT}", APT], []),
    ("a package whose command is already there is skipped", ["tools"], 0, True, 0,
     ["apt-get update -qq", f"apt-get install -y --no-install-recommends {MISSING[0]} -qq"], []),
    ("a user without sudo is told what to run", ["first", "second"], 1000, False, 1, [],
     MISSING + ["apt-get install"]),
]


def stand_in(path, body):
    with open(path, "w") as out:
        out.write("#!/bin/bash\n" + body)
    os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)


def run_case(lists, uid, with_sudo):
    with tempfile.TemporaryDirectory() as tmp:
        scripts = os.path.join(tmp, "scripts")
        bin_dir = os.path.join(tmp, "bin")
        os.makedirs(scripts)
        os.makedirs(bin_dir)
        shutil.copy(SCRIPT, scripts)
        for name, text in LISTS.items():
            with open(os.path.join(scripts, f"packages-{name}.txt"), "w") as out:
                out.write(text)
        # Only what the script may use, so that a real sudo or apt-get is never reached.
        for tool in ("bash", "dirname", "dpkg-query", "grep"):
            os.symlink(shutil.which(tool), os.path.join(bin_dir, tool))
        log = os.path.join(tmp, "log")
        stand_in(os.path.join(bin_dir, "id"), f"echo {uid}\n")
        stand_in(os.path.join(bin_dir, "apt-get"), f'echo "apt-get $*" >>{log}\n')
        if with_sudo:
            stand_in(os.path.join(bin_dir, "sudo"), f'echo "sudo $*" >>{log}\nexec "$@"\n')
        env = {"PATH": bin_dir, "HOME": tmp}
        done = subprocess.run([os.path.join(scripts, "install-deps"), *lists], env=env,
                              capture_output=True, text=True, timeout=60)
        commands = open(log).read().splitlines() if os.path.exists(log) else []
        return done.returncode, commands, done.stderr


failures = []
for name, lists, uid, with_sudo, status, commands, needs in CASES:
    got_status, got_commands, stderr = run_case(lists, uid, with_sudo)
    if got_status != status or got_commands != commands:
        failures.append(f"{name}: status {got_status}, ran {got_commands}; expected status "
                        f"{status}, {commands}")
    if needs and (len(stderr.splitlines()) != 1 or not all(n in stderr for n in needs)):
        failures.append(f"{name}: said {stderr!r}; expected one line with {needs}")
    if PRESENT in " ".join(got_commands) or f" {PRESENT} " in stderr:
        failures.append(f"{name}: asked for {PRESENT}, which is installed")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(CASES) - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
