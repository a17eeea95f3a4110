"""Runs scripts/bare-root-check --due in a small repository of its own, after one change each,
and checks when the bare-root check is due: a change to what it exercises since its last
pass, or a pass a day old, makes it due; anything else leaves it skipped.

usage: bare_root_due_test.py SCRIPTS_DIR
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SCRIPT = os.path.join(sys.argv[1], "bare-root-check")
FILES = {
    "README.md": "Build it:\n\n    scripts/run\n\nThen read on.\n",
    "CMakeLists.txt": "project(x)\n",
    "io/CMakeLists.txt": "add_library(io)\n",
    "cmake/Package.cmake": "set(a b)\n",
    "CMakePresets.json": "{}\n",
    "scripts/packages-run.txt": "cmake\n",
    "scripts/install-deps": "#!/bin/sh\n",
    "docs/development.md": "Notes.\n",
    "io/Reader.cpp": "int f();\n",
}
DAY = 86400

# name, the change after the passing commit (path: new text), pass age in seconds or None for
# no pass, recorded commit ("HEAD" or another), expected due
CASES = [
    ("no pass recorded", {}, None, "HEAD", True),
    ("nothing changed", {}, 0, "HEAD", False),
    ("a package list", {"scripts/packages-run.txt": "cmake\nninja-build\n"}, 0, "HEAD", True),
    ("a new package list", {"scripts/packages-web.txt": "cmake\n"}, 0, "HEAD", True),
    ("a CMakeLists.txt in a folder", {"io/CMakeLists.txt": "add_library(io2)\n"}, 0, "HEAD", True),
    ("cmake/", {"cmake/Package.cmake": "set(a c)\n"}, 0, "HEAD", True),
    ("the presets", {"CMakePresets.json": "{ }\n"}, 0, "HEAD", True),
    ("a script on the path", {"scripts/install-deps": "#!/bin/bash\n"}, 0, "HEAD", True),
    ("the README's command", {"README.md": FILES["README.md"].replace("run", "run --x")},
     0, "HEAD", True),
    ("the README's prose only", {"README.md": FILES["README.md"].replace("read", "go")},
     0, "HEAD", False),
    ("a source and a document", {"io/Reader.cpp": "int g();\n", "docs/development.md": "More.\n"},
     0, "HEAD", False),
    ("a pass a day old", {}, DAY + 60, "HEAD", True),
    ("a pass just under a day old", {}, DAY - 600, "HEAD", False),
    ("a pass of another history", {}, 0, "1" * 40, True),
]


def git(repo, *args):
    return subprocess.run(["git", "-C", repo, *args], check=True, capture_output=True,
                          text=True).stdout.strip()


def write(repo, files):
    for path, text in files.items():
        full = os.path.join(repo, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as out:
            out.write(text)


def run_case(change, age, recorded):
    with tempfile.TemporaryDirectory() as tmp:
        repo, cache = os.path.join(tmp, "repo"), os.path.join(tmp, "cache")
        os.makedirs(os.path.join(repo, "scripts"))
        os.makedirs(cache)
        shutil.copy(SCRIPT, os.path.join(repo, "scripts"))
        write(repo, FILES)
        git(repo, "init", "-q")
        git(repo, "add", "-A")
        git(repo, "-c", "user.name=t", "-c", "user.email=t@t", "commit", "-qm", "passed")
        if age is not None:
            commit = git(repo, "rev-parse", "HEAD") if recorded == "HEAD" else recorded
            with open(os.path.join(cache, "last-pass"), "w") as out:
                out.write(f"{commit} {int(time.time()) - age}\n")
        if change:
            write(repo, change)
            git(repo, "add", "-A")
            git(repo, "-c", "user.name=t", "-c", "user.email=t@t", "commit", "-qm", "change")
        env = dict(os.environ, LINEQ_BARE_ROOT_CACHE=cache)
        return subprocess.run([os.path.join(repo, "scripts", "bare-root-check"), "--due"],
                              env=env, capture_output=True, text=True, timeout=60)


failures = 0
for name, change, age, recorded, due in CASES:
    result = run_case(change, age, recorded)
    said_due = result.stdout.startswith("bare-root check: due")
    if result.returncode != 0 or said_due != due:
        failures += 1
        print(f"FAIL {name}: expected {'due' if due else 'not due'}, status {result.returncode}, "
              f"said {result.stdout.strip()!r} {result.stderr.strip()!r}")
    else:
        print(f"ok   {name}: {result.stdout.strip()}")
sys.exit(1 if failures else 0)
