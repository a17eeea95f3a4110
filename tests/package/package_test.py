"""Builds the Debian package of a build tree with CPack and checks what a user would get from
it: its name, fields and dependencies, its exact file list, valid metadata, linked libraries
that resolve, and the window program from the unpacked package opening its window on the
current X display.

usage: package_test.py CPACK CPACK_CONFIG WORK_DIR VERSION WITH_CLI LAUNCH_SCRIPT SCREENSHOT
"""

import glob
import os
import re
import shutil
import subprocess
import sys

cpack, config, work, version, with_cli, launch, screenshot = sys.argv[1:]
with_cli = with_cli == "1"

FILES = {
    "usr/bin/lineq",
    "usr/share/applications/lineq.desktop",
    "usr/share/icons/hicolor/scalable/apps/lineq.svg",
    "usr/share/metainfo/example.quorvelt.lineq.metainfo.xml",
    "usr/libexec/lineq/lineq-exact",
}
CLI_FILES = {"usr/bin/lineq-solve", "usr/share/man/man1/lineq-solve.1"}
# Linked ones, which dpkg-shlibdeps must find, and those loaded at run time, which it cannot.
DEPENDS = {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
           "qt6-qpa-plugins", "libqt6svg6", "fonts-roboto-unhinted", "fonts-dejavu-core",
           "libflint17", "libgmp10", "libmpfr6"}

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
    return ok


def output(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
made = subprocess.run([cpack, "-G", "DEB", "--config", config, "-B", work],
                      capture_output=True, text=True)
if made.returncode != 0:
    sys.exit(f"FAIL: cpack exited with {made.returncode}\n{made.stdout}{made.stderr}")
arch = output("dpkg", "--print-architecture").strip()
debs = glob.glob(os.path.join(work, "*.deb"))
deb = os.path.join(work, f"lineq_{version}_{arch}.deb")
if debs != [deb]:
    sys.exit(f"FAIL: cpack made {debs}, not {deb}")

fields = {}
for name in ("Package", "Version", "Architecture", "Section", "Maintainer", "Depends",
             "Description"):
    fields[name] = output("dpkg-deb", "-f", deb, name).rstrip("\n")
print("Depends:", fields["Depends"])
check(fields["Package"] == "lineq", f"Package is {fields['Package']!r}")
check(fields["Version"] == version, f"Version is {fields['Version']!r}, not {version}")
check(fields["Architecture"] == arch, f"Architecture is {fields['Architecture']!r}")
check(fields["Maintainer"] != "", "no Maintainer")
summary, _, long = fields["Description"].partition("\n")
check(summary.strip() and long.strip(), "Description lacks a summary or a long description")
check(not with_cli or "lineq-solve" in long, "Description does not mention lineq-solve")

depends = {}
for alternatives in fields["Depends"].split(","):
    for alternative in alternatives.split("|"):
        match = re.fullmatch(r"\s*([a-z0-9][a-z0-9+.-]*)(?::\w+)?\s*(\(.*\))?\s*", alternative)
        if check(match, f"Depends entry {alternative!r} is malformed"):
            depends[match.group(1)] = match.group(2)
check(not DEPENDS - depends.keys(), f"Depends lacks {sorted(DEPENDS - depends.keys())}")
check(depends.get("libqt6widgets6"), "libqt6widgets6 has no version bound: not from shlibdeps")
check(not [d for d in depends if d.endswith("-dev")], "Depends names a -dev package")

listing = output("dpkg-deb", "--contents", deb).splitlines()
files = {line.split()[-1].removeprefix("./") for line in listing if line.startswith("-")}
expected = FILES | (CLI_FILES if with_cli else set())
check(files == expected, f"files {sorted(files - expected)} not expected, "
                         f"{sorted(expected - files)} missing")

root = os.path.join(work, "root")
subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
usr = os.path.join(root, "usr")

desktop = subprocess.run(
    ["desktop-file-validate", os.path.join(usr, "share/applications/lineq.desktop")],
    capture_output=True, text=True)
check(desktop.returncode == 0 and not re.search("error:|warning:", desktop.stdout),
      f"desktop entry: {desktop.stdout}")
# Checks the metadata against the desktop entry and icon beside it in the unpacked tree.
tree = subprocess.run(["appstreamcli", "validate-tree", "--no-net", root],
                      capture_output=True, text=True)
check(tree.returncode == 0, f"appstreamcli validate-tree: {tree.stdout}")
metainfo = open(os.path.join(usr, "share/metainfo/example.quorvelt.lineq.metainfo.xml")).read()
newest = re.search(r'<release version="([^"]+)"', metainfo)
check(newest and newest.group(1) == version,
      f"the newest release in the metadata is not {version}")

programs = ["lineq"] + (["lineq-solve"] if with_cli else [])
for program in programs + ["../libexec/lineq/lineq-exact"]:
    path = os.path.normpath(os.path.join(usr, "bin", program))
    check("not found" not in output("ldd", path), f"{program}: a library is not found")
    check("not stripped" not in output("file", path), f"{program} is not stripped")
if with_cli:
    check(subprocess.run([os.path.join(usr, "bin/lineq-solve"), "--help"],
                         capture_output=True).returncode == 0, "lineq-solve --help fails")
    page = os.path.join(usr, "share/man/man1/lineq-solve.1")
    if os.path.exists(page):  # its absence is reported with the file list
        with open(page) as text:
            check(re.search(r"^\.(TH|Dt) ", text.read(), re.MULTILINE),
                  "lineq-solve.1 has no title line")

shown = subprocess.run([sys.executable, launch, os.path.join(usr, "bin/lineq"), screenshot])
check(shown.returncode == 0, "the packaged program did not show and close its window")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
