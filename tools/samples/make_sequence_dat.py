#!/usr/bin/env python3
"""Writes Sequence.dat from a readable description of sequences (TOML).

    make_sequence_dat.py [--if-missing] [--codepage NAME] SOURCE.toml OUTPUT

Each [[sequence]] table gives `name`, `keys` (chords such as "Ctrl+Alt+N": Ctrl, Alt, Shift and
Win, then a letter, a digit, F1 to F24, or a key code as 0xNN) and `commands`, each either
{ builtin = "<English name>" } or { run = "...", args = "...", dir = "..." }. Texts are stored in
the code page given (cp1252 unless told). With --if-missing an existing OUTPUT is left as it is.
"""
import argparse
import os
import struct
import sys
import tomllib

MAGIC = b"\x07\x08PavixSeq"
VERSION = 1
MODIFIERS = {"alt": 0x1, "ctrl": 0x2, "shift": 0x4, "win": 0x8}
BUILTINS = ["Do nothing", "Open Start Menu", "Disable Hotkey", "Exit Pavix", "Shutdown System",
            "FORCE Shutdown", "Reboot System", "FORCE Reboot", "Logoff", "FORCE Logoff",
            "Standby System", "FORCE Standby", "Hibernate System", "FORCE Hibernate",
            "Lock System", "Start Screen Saver"]


def key_code(name):
    upper = name.upper()
    if len(upper) == 1 and (upper.isdigit() or "A" <= upper <= "Z"):
        return ord(upper)
    if upper.startswith("F") and upper[1:].isdigit() and 1 <= int(upper[1:]) <= 24:
        return 0x70 + int(upper[1:]) - 1
    if upper.startswith("0X"):
        code = int(upper, 16)
        if 0 < code < 256:
            return code
    raise ValueError(f"unknown key {name!r}")


def chord(text):
    *modifiers, key = text.split("+")
    bits = 0
    for modifier in modifiers:
        if modifier.lower() not in MODIFIERS:
            raise ValueError(f"unknown modifier {modifier!r} in {text!r}")
        bits |= MODIFIERS[modifier.lower()]
    return struct.pack("<HH", bits, key_code(key))


def text_field(text, codepage):
    data = text.encode(codepage)
    return struct.pack("<i", len(data)) + data


def command(entry, codepage):
    if "builtin" in entry:
        return struct.pack("<ii", 0, BUILTINS.index(entry["builtin"]))
    return (struct.pack("<i", 1) + text_field(entry["run"], codepage) +
            text_field(entry.get("args", ""), codepage) + text_field(entry.get("dir", ""), codepage))


def encode(description, codepage):
    data = MAGIC + struct.pack("<i", VERSION)
    for sequence in description.get("sequence", []):
        data += text_field(sequence["name"], codepage)
        data += struct.pack("<i", len(sequence["keys"]))
        data += b"".join(chord(keys) for keys in sequence["keys"])
        data += struct.pack("<i", len(sequence["commands"]))
        data += b"".join(command(entry, codepage) for entry in sequence["commands"])
    return data


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--if-missing", action="store_true")
    parser.add_argument("--codepage", default="cp1252")
    parser.add_argument("source")
    parser.add_argument("output")
    arguments = parser.parse_args()
    if arguments.if_missing and os.path.exists(arguments.output):
        return 0
    with open(arguments.source, "rb") as source:
        description = tomllib.load(source)
    try:
        data = encode(description, arguments.codepage)
    except (KeyError, ValueError) as error:
        sys.exit(f"make_sequence_dat: {arguments.source}: {error}")
    with open(arguments.output, "xb" if arguments.if_missing else "wb") as output:
        output.write(data)
    print(f"make_sequence_dat: wrote {arguments.output} "
          f"({len(description.get('sequence', []))} sequences)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
