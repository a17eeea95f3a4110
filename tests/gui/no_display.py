"""Starts the program where it cannot show its window and checks that it says so in one line
and exits with status 2 instead of Qt's abort, while an explicitly chosen platform that needs
no X server is left to Qt.

usage: no_display.py PROGRAM
"""

import os
import random
import subprocess
import sys

PROGRAM = sys.argv[1]
MESSAGE = "lineq: no display to open the window on ("
STARTED_AFTER = 2  # seconds still running that count as a window shown


def unused_display():
    """A display number with no X server behind it (xvfb-run -a counts up from 99)."""
    while True:
        number = random.randrange(2000, 9000)
        if not any(os.path.exists(path) for path in
                   (f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}")):
            return f":{number}"


DEAD = unused_display()

# name, environment, arguments, expected: a refusal naming a cause, or "started"
CASES = [
    ("no display at all", {}, [], "neither DISPLAY nor WAYLAND_DISPLAY is set"),
    ("DISPLAY names a display that does not answer", {"DISPLAY": DEAD}, [],
     f"the X display {DEAD} does not answer"),
    ("X chosen by QT_QPA_PLATFORM, display dead", {"DISPLAY": DEAD, "QT_QPA_PLATFORM": "xcb"}, [],
     f"the X display {DEAD} does not answer"),
    ("X chosen by QT_QPA_PLATFORM, DISPLAY unset", {"QT_QPA_PLATFORM": "xcb"}, [],
     "DISPLAY is not set"),
    ("-display names a display that does not answer", {"WAYLAND_DISPLAY": "wayland-0"},
     ["-platform", "xcb", "-display", DEAD], f"the X display {DEAD} does not answer"),
    ("offscreen chosen by QT_QPA_PLATFORM", {"DISPLAY": DEAD, "QT_QPA_PLATFORM": "offscreen"}, [],
     "started"),
    ("offscreen chosen by --platform", {"DISPLAY": DEAD}, ["--platform", "offscreen"], "started"),
]


def run(environment, arguments):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(environment)
    proc = subprocess.Popen([PROGRAM, *arguments], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        out, err = proc.communicate(timeout=STARTED_AFTER)
        return proc.returncode, out, err
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        return None, "", ""


failures = []
for name, environment, arguments, expected in CASES:
    status, out, err = run(environment, arguments)
    if expected == "started":
        if status is not None:
            failures.append(f"{name}: exited with status {status}, stderr {err!r}")
        continue
    lines = err.splitlines()
    if status != 2 or len(lines) != 1 or not lines[0].startswith(MESSAGE) or expected not in err:
        failures.append(f"{name}: status {status}, stderr {err!r}; expected status 2 and one "
                        f"line saying {expected!r}")
    elif out:
        failures.append(f"{name}: printed {out!r} on standard output")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(CASES) - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
