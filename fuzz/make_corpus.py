#!/usr/bin/env python3
"""Writes the fuzzers' seed corpus: valid files, every truncation of them, and every boundary
value of each length, count, kind, id and version field, plus engine scripts in the byte encoding
that engine_fuzzer.cpp reads. The output is deterministic; run it again after changing either
file layout or the engine script encoding.

Usage: make_corpus.py [OUTPUT_DIR]   (default: the corpus folder beside this script)
"""

import os
import shutil
import struct
import sys

INT_MIN = -(2**31)
INT_MAX = 2**31 - 1
CTRL_ALT = 0x0003

SEQUENCE_MAGIC = b"\x07\x08PavixSeq"
CONFIG_MAGIC = b"\x07\x08PavixConf"
CONFIG_SIZE = 1595
SOUND_FIELD = 261


def i32(value):
    return struct.pack("<i", value)


def chord(modifiers, key):
    return struct.pack("<HH", modifiers, key)


# --- Sequence.dat -------------------------------------------------------------------------------


def text(data, length=None):
    return i32(len(data) if length is None else length) + data


def builtin(command_id, kind=0):
    return ("builtin", kind, command_id)


def external(path, parameter=b"", directory=b""):
    return ("external", path, parameter, directory)


def record(name, keys, commands, overrides=None):
    """One record; `overrides` replaces the stored value of a length, count, kind or id field
    (name_length, key_count, command_count, kind, id, path_length, parameter_length,
    directory_length) while the bytes that follow stay as they were."""
    o = overrides or {}
    data = text(name, o.get("name_length"))
    data += i32(o.get("key_count", len(keys)))
    data += b"".join(chord(m, k) for m, k in keys)
    data += i32(o.get("command_count", len(commands)))
    for command in commands:
        if command[0] == "builtin":
            data += i32(o.get("kind", command[1])) + i32(o.get("id", command[2]))
        else:
            _, path, parameter, directory = command
            data += i32(o.get("kind", 1))
            data += text(path, o.get("path_length"))
            data += text(parameter, o.get("parameter_length"))
            data += text(directory, o.get("directory_length"))
    return data


def sequence_file(*records, version=1):
    return SEQUENCE_MAGIC + i32(version) + b"".join(records)


SAMPLE_RECORDS = [
    record(b"A", [(CTRL_ALT, 0x41)], [builtin(14)]),
    record(b"", [], []),
    record(b"Notepad", [(0x0008, ord("N")), (0x0008, ord("N")), (0, 0x13)],
           [external(b"notepad.exe"), builtin(0), external(b"C:\\x y\\run.bat", b"-a -b", b"C:\\x y")]),
    record(b"keys only", [(0xFFFF, 0xFFFF)], []),
    record(b"commands only", [], [builtin(15), external(b"", b"", b"")]),
    record(b"zero\x00inside", [(CTRL_ALT, ord("Z"))], [external(b"a\x00b", b"\x00", b"d\x00")]),
    record(b"every built-in", [(CTRL_ALT, ord("B")), (CTRL_ALT, ord("C"))],
           [builtin(i) for i in range(16)]),
]


def boundary_values(exact, remaining):
    """Stored values around the true one and around what the rest of the file can hold."""
    values = {INT_MIN, -2, -1, 0, 1, exact - 1, exact, exact + 1, remaining, remaining + 1,
              0x1FFFFFFF, 0x20000000, 0x20000001, 0x3FFFFFFF, 0x40000000, 0x40000001,
              0x7FFFFFFE, INT_MAX}
    return sorted(v for v in values if INT_MIN <= v <= INT_MAX)


def sequence_seeds():
    seeds = {}
    seeds["valid_example"] = sequence_file(SAMPLE_RECORDS[0])
    seeds["valid_header_only"] = sequence_file()
    seeds["valid_all"] = sequence_file(*SAMPLE_RECORDS)
    for version in (INT_MIN, -1, 0, 2, INT_MAX):
        seeds[f"version_{version}"] = sequence_file(SAMPLE_RECORDS[0], version=version)
    for at in range(len(SEQUENCE_MAGIC)):
        damaged = bytearray(sequence_file(SAMPLE_RECORDS[0]))
        damaged[at] ^= 0x20
        seeds[f"magic_byte_{at}"] = bytes(damaged)

    whole = seeds["valid_all"]
    for length in range(len(whole)):
        seeds[f"truncated_{length:04d}"] = whole[:length]

    # Each field of a record that holds a length, count, kind or id, at each boundary value. The
    # record under test follows a good one and precedes another, so damage shows as a cut.
    good = SAMPLE_RECORDS[0]
    tail = SAMPLE_RECORDS[2]
    name, keys = b"name", [(CTRL_ALT, 0x41), (CTRL_ALT, 0x42)]
    commands = [builtin(3), external(b"path.exe", b"param", b"dir")]
    plain = record(name, keys, commands)
    remaining = len(plain) + len(tail)
    fields = {
        "name_length": len(name),
        "key_count": len(keys),
        "command_count": len(commands),
        "path_length": len(b"path.exe"),
        "parameter_length": len(b"param"),
        "directory_length": len(b"dir"),
    }
    for field, exact in fields.items():
        for value in boundary_values(exact, remaining):
            seeds[f"{field}_{value}"] = sequence_file(
                good, record(name, keys, commands, {field: value}), tail)
    for kind in (INT_MIN, -1, 0, 1, 2, 3, INT_MAX):
        seeds[f"kind_{kind}"] = sequence_file(good, record(name, keys, [builtin(0, kind)]), tail)
    for command_id in (INT_MIN, -1, 0, 15, 16, 17, INT_MAX):
        seeds[f"id_{command_id}"] = sequence_file(
            good, record(name, keys, [builtin(command_id)]), tail)
    # Counts that claim the whole file and more, with nothing after them.
    for field in ("name_length", "key_count", "command_count"):
        for value in (0x7FFFFFFF, -1):
            seeds[f"last_{field}_{value}"] = sequence_file(
                good, record(b"", [], [], {field: value})[: {"name_length": 4,
                                                              "key_count": 8,
                                                              "command_count": 12}[field]])
    return seeds


# --- Config.dat ---------------------------------------------------------------------------------


def config(abort_enabled=1, modifiers=CTRL_ALT, key=ord("Z"), sounds=None, timeout=5000,
           version=1, padding=b"\x00\x00"):
    sounds = sounds if sounds is not None else [b"C:\\Pavix\\se\\match.wav", b"", b"abort.wav",
                                                 b"t.wav", b"e.wav", b"d.wav"]
    body = i32(abort_enabled) + chord(modifiers, key)
    for sound in sounds:
        body += sound[:SOUND_FIELD].ljust(SOUND_FIELD, b"\x00")
    body += padding + i32(timeout)
    data = CONFIG_MAGIC + i32(version) + body
    assert len(data) == CONFIG_SIZE
    return data


def config_seeds():
    seeds = {}
    valid = config()
    seeds["valid"] = valid
    seeds["valid_abort_off"] = config(abort_enabled=0, modifiers=0, key=0)
    seeds["valid_silent"] = config(sounds=[b""] * 6)
    seeds["longer_than_the_record"] = valid + b"extra bytes after the record"
    for length in range(CONFIG_SIZE):
        seeds[f"truncated_{length:04d}"] = valid[:length]
    for at in range(len(CONFIG_MAGIC)):
        damaged = bytearray(valid)
        damaged[at] ^= 0x20
        seeds[f"magic_byte_{at}"] = bytes(damaged)
    for version in (INT_MIN, -1, 0, 2, INT_MAX):
        seeds[f"version_{version}"] = config(version=version)
    for enabled in (INT_MIN, -1, 0, 1, 2, INT_MAX):
        seeds[f"abort_enabled_{enabled}"] = config(abort_enabled=enabled)
    for modifiers in (0, 0x0F, 0x10, 0xFFFF):
        for key in (0, 1, 0xFF, 0x100, 0xFFFF):
            seeds[f"abort_key_{modifiers}_{key}"] = config(modifiers=modifiers, key=key)
    for timeout in (INT_MIN, -1, 0, 1, 5000, INT_MAX):
        seeds[f"timeout_{timeout}"] = config(timeout=timeout)
    for length in (259, 260, 261):
        seeds[f"sounds_of_{length}_bytes"] = config(sounds=[bytes([0x61 + i]) * length
                                                          for i in range(6)])
    seeds["padding_set"] = config(padding=b"\xff\xff")
    return seeds


# --- Engine scripts -----------------------------------------------------------------------------
# One byte chooses each step (its value modulo 20), then the step reads what it needs; see
# Harness::Step in engine_fuzzer.cpp.

WRITE_SEQUENCES, WRITE_CONFIG, ERASE_SEQUENCES, TOGGLE_TAKEN = 0, 1, 2, 3
ENABLE, ENABLE_AND_NOTIFY, DISABLE, DISABLE_AND_NOTIFY = 4, 6, 7, 8
ABORT, TIMEOUT, RESET = 9, 10, 11
PRESS_REGISTERED, PRESS_CHORD, PRESS_RAW, PRESS_LIKELY = 12, 16, 18, 19
# Chord indexes into the fuzzer's alphabet: Ctrl+Alt+A, B, C, Alt+A, F1, Shift+Win+A, Ctrl+Alt+Z.
A, B, C, ALT_A, F1, SHIFT_WIN_A, Z = range(7)


def write_sequences(sequences, cut=None):
    """`sequences`: (chord indexes, command bytes) pairs; a command byte below 0xF0 is built-in
    id byte % 16, 0xF0-0xF7 an external command, 0xF8-0xFB a bad id, 0xFC-0xFF a bad kind."""
    assert len(sequences) < 16
    data = bytes([WRITE_SEQUENCES, len(sequences)])
    for keys, commands in sequences:
        assert len(keys) < 5 and len(commands) < 3
        data += bytes([len(keys)] + list(keys) + [len(commands)] + list(commands))
    data += b"\x01" + struct.pack("<H", cut) if cut is not None else b"\x00"
    return data


def write_config(mode, *values):
    """Mode 0 erases Config.dat; 1 abort off; 2 abort on with chord index; 3 abort switch byte
    (signed) and chord index; 4 a file cut to 6 x the length byte."""
    return bytes([WRITE_CONFIG, mode] + list(values))


def engine_seeds():
    shared = [
        ([A, B], [0x00]),              # done
        ([A, B, C], [0x00]),           # can never complete: A B completes first
        ([A, C], [0x02]),              # disable hotkeys
        ([B, B], [0x03, 0x02]),        # exit outranks disable
        ([ALT_A], [0xF3]),             # one chord, an external command
        ([F1, Z, A], [0x01, 0x0F]),    # uses the abort chord inside
        ([], [0x00]),                  # no chords: left out
        ([C, C], []),                  # no commands: left out
    ]
    seeds = {}
    seeds["complete_each"] = (
        write_sequences(shared) + write_config(2, Z) + bytes([ENABLE]) +
        bytes([PRESS_CHORD, A, PRESS_CHORD, B]) +               # done
        bytes([PRESS_CHORD, B, PRESS_CHORD, B]) +               # exit
        bytes([PRESS_CHORD, ALT_A]) +                           # one chord
        bytes([PRESS_CHORD, F1, PRESS_CHORD, Z]) +              # aborted
        bytes([PRESS_CHORD, C]) +                               # mismatch while idle
        bytes([PRESS_CHORD, A, PRESS_CHORD, C]) +               # disable hotkeys
        bytes([PRESS_CHORD, A, ENABLE_AND_NOTIFY, PRESS_CHORD, A, TIMEOUT]))
    seeds["likely_presses"] = (write_sequences(shared) + write_config(1) + bytes([ENABLE]) +
                               b"".join(bytes([PRESS_LIKELY, i]) for i in range(40)))
    seeds["taken_chords"] = (
        write_sequences(shared) + bytes([TOGGLE_TAKEN, B, TOGGLE_TAKEN, Z]) +
        write_config(2, Z) + bytes([ENABLE]) +
        b"".join(bytes([PRESS_REGISTERED, i]) for i in range(8)) +
        bytes([TOGGLE_TAKEN, B, ENABLE_AND_NOTIFY, PRESS_CHORD, A, PRESS_CHORD, B]))
    seeds["damaged_and_missing_files"] = (
        write_sequences(shared, cut=40) + bytes([ENABLE, PRESS_LIKELY, 0, PRESS_LIKELY, 0]) +
        write_sequences([([A], [0xF8]), ([B], [0x00])]) + bytes([ENABLE, PRESS_CHORD, B]) +
        write_sequences([([A], [0xFC])]) + bytes([ENABLE_AND_NOTIFY]) +
        write_sequences(shared, cut=7) + bytes([ENABLE]) +
        bytes([ERASE_SEQUENCES, ENABLE, PRESS_RAW, 0xFF, PRESS_RAW, 0x00]) +
        write_config(4, 100) + bytes([ENABLE]) + write_config(0) + bytes([ENABLE]))
    seeds["abort_switch_values"] = (
        write_sequences(shared) + write_config(3, 0xFE, A) + bytes([ENABLE, PRESS_CHORD, A]) +
        write_config(2, A) + bytes([ENABLE, PRESS_CHORD, A, PRESS_CHORD, B]) +
        write_config(0) + bytes([ENABLE, PRESS_CHORD, A]) +
        write_config(1) + bytes([ENABLE, PRESS_CHORD, A, PRESS_CHORD, B]))
    seeds["disable_during_search"] = (
        write_sequences(shared) + bytes([ENABLE, PRESS_CHORD, A, DISABLE, PRESS_CHORD, B,
                                         ENABLE, PRESS_CHORD, A, DISABLE_AND_NOTIFY, ENABLE,
                                         PRESS_CHORD, A, ABORT, PRESS_CHORD, B, RESET,
                                         PRESS_CHORD, A, ENABLE, PRESS_CHORD, B]))
    return seeds


def write_all(root):
    for name, seeds in (("config", config_seeds()), ("sequence_file", sequence_seeds()),
                        ("engine", engine_seeds())):
        folder = os.path.join(root, name)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for seed, data in seeds.items():
            with open(os.path.join(folder, seed), "wb") as out:
                out.write(data)
        print(f"{folder}: {len(seeds)} seeds")


if __name__ == "__main__":
    write_all(sys.argv[1] if len(sys.argv) > 1 else
              os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus"))
