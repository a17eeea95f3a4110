"""Runs scripts/web-exact-libs --sources against apt configurations of its own and checks the
deb-src lines it would fetch the libraries' sources through: Debian's archives only, every
URI and suite of a deb822 stanza, options of one-line entries kept, disabled stanzas and
comments left out. Then checks that it refuses to empty a prefix it did not make.

usage: web_exact_libs_test.py SCRIPTS_DIR
"""

import os
import shutil
import subprocess
import sys
import tempfile

SCRIPT = os.path.join(sys.argv[1], "web-exact-libs")
KEY = "/usr/share/keyrings/debian-archive-keyring.gpg"

DEBIAN = f"""Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: {KEY}
"""
TWO_MIRRORS = """# a comment before the stanza
Types: deb deb-src
URIs: http://ftp.de.debian.org/debian http://snapshot.debian.org/archive/debian/20250520T000000Z
Suites: bookworm
Components: main
"""
VENDOR = """Types: deb
URIs: https://deb.nodesource.com/node_20.x
Suites: nodistro
Components: main
"""
DISABLED = f"""Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Enabled: no
"""
ONE_LINE = """deb [arch=amd64] http://deb.debian.org/debian-security bookworm-security main
# deb http://deb.debian.org/debian bookworm-backports main
deb-src http://deb.debian.org/debian bookworm main
deb https://packages.cloud.google.com/apt cloud-sdk-bookworm main
"""

SIGNED = f"deb-src [signed-by={KEY}]"
# name, {file under the sources folder (".list" is the main list): text}, expected lines
CASES = [
    ("no sources at all", {}, []),
    ("a stanza with two suites", {"debian.sources": DEBIAN},
     [f"{SIGNED} http://deb.debian.org/debian bookworm main contrib",
      f"{SIGNED} http://deb.debian.org/debian bookworm-updates main contrib"]),
    ("two mirrors in one stanza", {"mirrors.sources": TWO_MIRRORS},
     ["deb-src http://ftp.de.debian.org/debian bookworm main",
      "deb-src http://snapshot.debian.org/archive/debian/20250520T000000Z bookworm main"]),
    ("stanzas of other vendors and disabled ones", {"all.sources": "\n".join([VENDOR, DISABLED, DEBIAN])},
     [f"{SIGNED} http://deb.debian.org/debian bookworm main contrib",
      f"{SIGNED} http://deb.debian.org/debian bookworm-updates main contrib"]),
    ("one-line entries", {".list": ONE_LINE},
     ["deb-src [arch=amd64] http://deb.debian.org/debian-security bookworm-security main"]),
]


def deb_src_lines(files):
    with tempfile.TemporaryDirectory() as tmp:
        parts = os.path.join(tmp, "sources.list.d")
        os.makedirs(parts)
        for name, text in files.items():
            path = os.path.join(tmp, "sources.list") if name == ".list" else os.path.join(parts, name)
            with open(path, "w") as out:
                out.write(text)
        config = os.path.join(tmp, "apt.conf")
        with open(config, "w") as out:
            out.write(f'Dir::Etc::sourcelist "{tmp}/sources.list";\n'
                      f'Dir::Etc::sourceparts "{parts}";\n')
        done = subprocess.run([SCRIPT, "--sources"], env={**os.environ, "APT_CONFIG": config},
                              capture_output=True, text=True, timeout=60)
        return done.returncode, done.stdout.splitlines(), done.stderr


failures = []
for name, files, expected in CASES:
    status, lines, stderr = deb_src_lines(files)
    if status != 0 or lines != expected:
        failures.append(f"{name}: status {status}, printed {lines}, said {stderr!r}; expected {expected}")


def refuses_foreign_prefix():
    """The prefix is a folder of someone else's files: refused, and left as it was. Only the
    tools the refusal needs are on the PATH, so that a script that goes on fails at once."""
    with tempfile.TemporaryDirectory() as tmp:
        bin_dir, prefix = os.path.join(tmp, "bin"), os.path.join(tmp, "prefix")
        os.makedirs(bin_dir)
        os.makedirs(prefix)
        for tool in ("bash", "dirname", "realpath", "ls", "nproc"):
            os.symlink(shutil.which(tool), os.path.join(bin_dir, tool))
        keep = os.path.join(prefix, "keep")
        open(keep, "w").close()
        done = subprocess.run([SCRIPT, prefix], env={"PATH": bin_dir}, capture_output=True,
                              text=True, timeout=60)
        return done.returncode == 1 and os.listdir(prefix) == ["keep"] and prefix in done.stderr


if not refuses_foreign_prefix():
    failures.append("a prefix of other files was not refused, or not left as it was")
for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
