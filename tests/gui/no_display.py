"""Starts the program where Qt cannot connect to a display and checks that it says so in one
line, in Qt's own words for the cause, and exits with status 2 instead of Qt's abort; where a
platform that needs no X server is chosen, or is a fallback, the program starts and Qt's
messages reach standard error as Qt prints them.

usage: no_display.py PROGRAM
"""

import os
import queue
import random
import subprocess
import sys
import threading

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

# name, environment, arguments, expected: a refusal naming a cause, or "started" with the
# start of a line of Qt's that must still reach standard error (None for any)
MISSING = 'Could not find the Qt platform plugin "nosuch"'
CASES = [
    ("no display at all", {}, [], ("refused", "could not connect to display")),
    ("DISPLAY names a display that does not answer", {"DISPLAY": DEAD}, [],
     ("refused", f"could not connect to display {DEAD}")),
    ("X chosen by QT_QPA_PLATFORM, display dead", {"DISPLAY": DEAD, "QT_QPA_PLATFORM": "xcb"}, [],
     ("refused", f"could not connect to display {DEAD}")),
    ("X chosen by QT_QPA_PLATFORM, DISPLAY unset", {"QT_QPA_PLATFORM": "xcb"}, [],
     ("refused", "could not connect to display")),
    ("-display names a display that does not answer", {"WAYLAND_DISPLAY": "wayland-0"},
     ["-platform", "xcb", "-display", DEAD], ("refused", f"could not connect to display {DEAD}")),
    ("a platform that is not installed", {"QT_QPA_PLATFORM": "nosuch"}, [], ("refused", MISSING)),
    ("offscreen chosen by QT_QPA_PLATFORM", {"DISPLAY": DEAD, "QT_QPA_PLATFORM": "offscreen"}, [],
     ("started", None)),
    ("offscreen chosen by --platform", {"DISPLAY": DEAD}, ["--platform", "offscreen"],
     ("started", None)),
    ("offscreen as the fallback of a missing platform",
     {"DISPLAY": DEAD, "QT_QPA_PLATFORM": "nosuch;offscreen"}, [],
     ("started", f"qt.qpa.plugin: {MISSING}")),
]
REFUSED_WITHIN = 120  # seconds: only a hang takes that long


def start(environment, arguments):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(environment)
    return subprocess.Popen([PROGRAM, *arguments], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def refusal(name, proc, cause):
    out, err = proc.communicate(timeout=REFUSED_WITHIN)
    lines = err.splitlines()
    if (proc.returncode != 2 or len(lines) != 1 or not lines[0].startswith(MESSAGE)
            or cause not in lines[0]):
        return (f"{name}: status {proc.returncode}, stderr {err!r}; expected status 2 and one "
                f"line saying {cause!r}")
    if out:
        return f"{name}: printed {out!r} on standard output"
    return None


def start_up(name, proc, qt_line):
    """Still running after STARTED_AFTER seconds, and, when Qt's line is awaited, once it has
    been printed: a slow machine prints it late, only a broken one not within REFUSED_WITHIN."""
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put(line) for line in proc.stderr], daemon=True).start()
    printed = qt_line is None
    try:
        while not printed:
            printed = lines.get(timeout=REFUSED_WITHIN).startswith(qt_line)
    except queue.Empty:
        pass
    try:
        status = proc.wait(timeout=STARTED_AFTER)
    except subprocess.TimeoutExpired:
        status = None
    proc.kill()
    proc.wait()
    if status is not None:
        return f"{name}: exited with status {status}, stderr {''.join(lines.queue)!r}"
    return None if printed else f"{name}: never printed {qt_line!r}"


failures = []
for name, environment, arguments, (expected, text) in CASES:
    proc = start(environment, arguments)
    failure = (refusal if expected == "refused" else start_up)(name, proc, text)
    if failure:
        failures.append(failure)

for failure in failures:
    print("FAIL:", failure)
print(f"{len(CASES) - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
