#!/usr/bin/env python3
"""Writes what a Windows build of Pavix takes from the file VERSION and its architecture.

    gen_build_info.py VERSION ARCH OUT_DIR

ARCH is the manifest's processorArchitecture ("x86" or "amd64"). OUT_DIR receives version.h
(PAVIX_VERSION_MAJOR, _MINOR, _PATCH and PAVIX_VERSION_TEXT "1.2.3.0") and pavix.manifest, made
from resources/pavix.manifest.in. Files whose content would not change are left untouched, so
that the resources are not rebuilt for nothing.
"""
import os
import re
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
ARCHITECTURES = ("x86", "amd64")


def read_version(path):
    with open(path, encoding="ascii") as source:
        text = source.read().strip()
    if not re.fullmatch(r"\d+\.\d+\.\d+", text):
        sys.exit(f"gen_build_info: {path} must hold MAJOR.MINOR.PATCH, not {text!r}")
    return tuple(int(part) for part in text.split("."))


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as existing:
            if existing.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="utf-8", newline="\n") as target:
        target.write(text)


def main(argv):
    if len(argv) != 4 or argv[2] not in ARCHITECTURES:
        sys.exit(__doc__)
    major, minor, patch = read_version(argv[1])
    out = argv[3]
    os.makedirs(out, exist_ok=True)
    dotted = f"{major}.{minor}.{patch}.0"
    write_if_changed(os.path.join(out, "version.h"),
                     "// Generated from VERSION by tools/gen_build_info.py.\n"
                     f"#define PAVIX_VERSION_MAJOR {major}\n"
                     f"#define PAVIX_VERSION_MINOR {minor}\n"
                     f"#define PAVIX_VERSION_PATCH {patch}\n"
                     f"#define PAVIX_VERSION_TEXT \"{dotted}\"\n")
    with open(os.path.join(ROOT, "resources", "pavix.manifest.in"), encoding="utf-8") as source:
        manifest = source.read()
    manifest = manifest.replace("@VERSION@", dotted).replace("@ARCH@", argv[2])
    write_if_changed(os.path.join(out, "pavix.manifest"), manifest)


if __name__ == "__main__":
    main(sys.argv)
