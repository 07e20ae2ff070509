#!/usr/bin/env python3
"""Checks the compiled dialog templates of both languages: style, size, font, title, the controls
in tab order with their classes, styles and places, and the texts the user reads.

    python3 tests/editors/dialog_templates_test.py [-v]

Needs i686-w64-mingw32-windres (or $WINDRES); skipped without it.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
RESOURCES = os.path.join(ROOT, "resources")
WINDRES = os.environ.get("WINDRES", "i686-w64-mingw32-windres")
ENGLISH, JAPANESE = 0x409, 0x411
DIALOG_STYLE = 0x80C800C0
CLASS_NAMES = {0x80: "button", 0x81: "edit", 0x82: "static", 0x85: "combobox"}

WS_TABSTOP, WS_GROUP, WS_BORDER = 0x00010000, 0x00020000, 0x00800000
BS_TYPE = 0xF
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON, BS_GROUPBOX = 0, 1, 3, 9, 7
ES_AUTOHSCROLL, ES_READONLY, ES_NUMBER = 0x80, 0x800, 0x2000
CBS_DROPDOWNLIST, WS_VSCROLL = 3, 0x00200000
LVS_OWNER_DATA_REPORT = 0x1 | 0x4 | 0x8 | 0x1000  # report, single selection, always, owner data
LVS_NOCOLUMNHEADER = 0x4000
SS_SUNKEN = 0x1000
SS_NOPREFIX = 0x80


def read_res(data):
    """{(type, name, language): bytes} of a .res file whose types and names are numbers."""
    entries, offset = {}, 0
    while offset < len(data):
        size, header = struct.unpack_from("<II", data, offset)
        kind, name = struct.unpack_from("<HHHH", data, offset + 8)[1::2]
        language = struct.unpack_from("<H", data, offset + header - 10)[0]
        entries[(kind, name, language)] = data[offset + header:offset + header + size]
        offset = (offset + header + size + 3) & ~3
    return entries


def text_or_ordinal(data, offset):
    if struct.unpack_from("<H", data, offset)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    end = offset
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def read_dialog(data):
    """A DLGTEMPLATE: its header fields and its controls, each as a dict."""
    style, _, count, x, y, width, height = struct.unpack_from("<IIHhhhh", data)
    menu, offset = text_or_ordinal(data, 18)
    window_class, offset = text_or_ordinal(data, offset)
    title, offset = text_or_ordinal(data, offset)
    points = struct.unpack_from("<H", data, offset)[0]
    font, offset = text_or_ordinal(data, offset + 2)
    dialog = dict(style=style, size=(width, height), title=title, font=(points, font),
                  controls=[])
    for _ in range(count):
        offset = (offset + 3) & ~3
        style, _, x, y, width, height, ident = struct.unpack_from("<IIhhhhH", data, offset)
        window_class, offset = text_or_ordinal(data, offset + 18)
        text, offset = text_or_ordinal(data, offset)
        extra = struct.unpack_from("<H", data, offset)[0]
        offset += 2 + extra
        name = CLASS_NAMES.get(window_class, str(window_class).lower())
        ident = ident - 0x10000 if ident >= 0x8000 else ident
        dialog["controls"].append(dict(id=ident, cls=name, style=style, text=text,
                                       rect=(x, y, width, height)))
    return dialog


def compile_dialogs():
    with tempfile.TemporaryDirectory() as folder:
        script = os.path.join(folder, "dialogs.rc")
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "gen_texts.py"),
                        os.path.join(RESOURCES, "texts.tsv"),
                        "--dialogs", os.path.join(RESOURCES, "dialogs.tsv"),
                        "--dialogs-rc", script], check=True)
        output = os.path.join(folder, "dialogs.res")
        subprocess.run([WINDRES, script, "-O", "res", "-o", output], check=True)
        with open(output, "rb") as compiled:
            entries = read_res(compiled.read())
    return {(name, language): read_dialog(data)
            for (kind, name, language), data in entries.items() if kind == 5}


# Ids in template (tab) order; -1 are the labels and group boxes.
TAB_ORDER = {
    104: [1000, 1061, 1062, 1012, 1013, 1049, 1016, 1017, -1, -1, 1001, -1, 1002, 1003, 1004, 1006,
          1014, 1005, -1, 1007, 1008, 1009, 1011, 1015, 1010, 1, 2, 1060, 1063],
    105: [-1, 1017, 1018, -1, -1, 1019, -1, -1, 1020, 1021, -1, 1022, -1, 1023, 1, 2],
    107: [1026, 1, 2],
    108: [1048, 1030, 1029, 1032, 1031, 1027, 1, 2],
    111: [-1, 1030, 1070, 1031, -1, 1071, -1] +
         sum([[-1, path, browse, play] for path, browse, play in
              [(1032, 1050, 1041), (1033, 1051, 1042), (1034, 1052, 1043), (1035, 1053, 1044),
               (1037, 1054, 1045), (1036, 1055, 1046)]], []) + [1, 2, -1],
    112: [1101, 1102, 1103, 1104, 1105, 1, 2],
    113: [-1, 1111, 1114, 1112, 1113, 2],
}

TITLES = {
    104: ("Sequence Editor", "シーケンス編集", (401, 280)),
    105: ("Command Editor", "コマンド編集", (223, 125)),
    107: ("Type a Key to input", "キー直接入力", (187, 45)),
    108: ("Hotkey Editor", "キー編集", (177, 63)),
    111: ("Pavix Configuration", "Pavix設定", (274, 153)),
    112: ("Record Keys", "キーの記録", (220, 182)),
    113: ("All Sequences", "すべてのシーケンス", (380, 230)),
}


@unittest.skipUnless(shutil.which(WINDRES), "windres is not installed")
class DialogTemplateTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dialogs = compile_dialogs()

    def control(self, dialog, language, ident, text=None):
        for control in self.dialogs[(dialog, language)]["controls"]:
            if control["id"] == ident and (text is None or control["text"] == text):
                return control
        self.fail(f"dialog {dialog} has no control {ident} {text or ''}")

    def test_every_dialog_in_both_languages_with_style_font_size_and_title(self):
        self.assertEqual(set(self.dialogs), {(d, l) for d in TITLES for l in (ENGLISH, JAPANESE)})
        for dialog, (english, japanese, size) in TITLES.items():
            for language, title, font in ((ENGLISH, english, "MS UI Gothic"),
                                          (JAPANESE, japanese, "ＭＳ Ｐゴシック")):
                with self.subTest(dialog=dialog, language=language):
                    template = self.dialogs[(dialog, language)]
                    self.assertEqual(template["style"], DIALOG_STYLE)
                    self.assertEqual(template["size"], size)
                    self.assertEqual(template["title"], title)
                    self.assertEqual(template["font"], (9, font))

    def test_controls_come_in_tab_order_with_copy_last_in_the_english_sequence_editor(self):
        for dialog, order in TAB_ORDER.items():
            japanese = [c["id"] for c in self.dialogs[(dialog, JAPANESE)]["controls"]]
            self.assertEqual(japanese, order, dialog)
            english = [c["id"] for c in self.dialogs[(dialog, ENGLISH)]["controls"]]
            if dialog == 104:
                order = [i for i in order if i != 1049] + [1049]
            self.assertEqual(english, order, dialog)

    def test_controls_have_the_classes_and_styles_the_editors_rely_on(self):
        for language in (ENGLISH, JAPANESE):
            for ident, header in ((1000, LVS_NOCOLUMNHEADER), (1002, 0), (1007, LVS_NOCOLUMNHEADER)):
                lists = self.control(104, language, ident)
                self.assertEqual(lists["cls"], "syslistview32")
                self.assertEqual(lists["style"] & (LVS_OWNER_DATA_REPORT | LVS_NOCOLUMNHEADER |
                                                   0x3), LVS_OWNER_DATA_REPORT | header)
            hotkey = self.control(107, language, 1026)
            self.assertEqual(hotkey["cls"], "msctls_hotkey32")
            self.assertTrue(hotkey["style"] & WS_BORDER)
            for ident in (1, 2):
                self.assertEqual(self.control(107, language, ident)["style"] &
                                 (WS_TABSTOP | BS_TYPE), BS_PUSHBUTTON)
            for dialog in (104, 105, 108, 111):
                self.assertEqual(self.control(dialog, language, 1)["style"] & BS_TYPE,
                                 BS_DEFPUSHBUTTON)
            for dialog, ident in ((108, 1048), (105, 1019)):
                combo = self.control(dialog, language, ident)
                self.assertEqual(combo["style"] & (3 | WS_VSCROLL | WS_TABSTOP),
                                 CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP)
            builtin = self.control(105, language, 1017)["style"]
            self.assertEqual(builtin & (BS_TYPE | WS_GROUP), BS_AUTORADIOBUTTON | WS_GROUP)
            self.assertEqual(self.control(105, language, 1018)["style"] & (BS_TYPE | WS_GROUP),
                             BS_AUTORADIOBUTTON)
            self.assertEqual(self.control(111, language, 1030)["style"] & BS_TYPE, BS_AUTOCHECKBOX)
            self.assertEqual(self.control(111, language, 1031)["style"] & ES_READONLY, ES_READONLY)
            timeout = self.control(111, language, 1071)["style"]
            self.assertEqual(timeout & (ES_NUMBER | ES_AUTOHSCROLL), ES_NUMBER | ES_AUTOHSCROLL)
            about = self.dialogs[(111, language)]["controls"][-1]
            self.assertEqual((about["cls"], about["style"] & SS_SUNKEN, about["rect"]),
                             ("static", SS_SUNKEN, (7, 115, 99, 31)))
            self.assertEqual(about["text"].count("\n"), 2)
            # The sequence editor's warning: three lines across the foot of the dialog, showing
            # sequence names as they are.
            warning = self.control(104, language, 1060)
            self.assertEqual((warning["cls"], warning["style"] & SS_NOPREFIX, warning["rect"]),
                             ("static", SS_NOPREFIX, (7, 249, 387, 24)))
            # Export and Import side by side between the sequence list and its Add button.
            self.assertEqual([self.control(104, language, i)["rect"] for i in (1000, 1061, 1062)],
                             [(7, 7, 87, 178), (7, 190, 42, 14), (52, 190, 42, 14)])

    def test_japanese_copy_differs_only_where_its_layout_does(self):
        moved = {
            104: {1012: (7, 210, 26, 14), 1013: (38, 210, 26, 14), 1049: (69, 210, 26, 14),
                  1016: (7, 228, 26, 14), 1017: (38, 228, 26, 14)},
            105: {1020: (117, 27, 72, 14), 1021: (193, 27, 19, 14)},
            111: {1030: (12, 17, 30, 10), 1032: (163, 20, 57, 14), 1050: (224, 20, 19, 14),
                  1036: (163, 105, 57, 14), 1055: (224, 105, 19, 14)},
        }
        narrowed = {104: ("Sequence Name", "シーケンス名", 56, 39),
                    105: ("Select a command", "コマンド選択", 81, 37),
                    111: ("Match", "入力合致", 39, 28)}
        for dialog, controls in moved.items():
            for ident, rect in controls.items():
                self.assertEqual(self.control(dialog, JAPANESE, ident)["rect"], rect, ident)
            english, japanese, wide, narrow = narrowed[dialog]
            self.assertEqual(self.control(dialog, ENGLISH, -1, english)["rect"][2], wide)
            self.assertEqual(self.control(dialog, JAPANESE, -1, japanese)["rect"][2], narrow)
        self.assertEqual(self.control(104, ENGLISH, 1049)["rect"], (72, 209, 26, 14))
        self.assertEqual(self.control(111, ENGLISH, 1055)["rect"], (217, 105, 27, 14))
        for dialog in (107, 108):
            self.assertEqual([c["rect"] for c in self.dialogs[(dialog, ENGLISH)]["controls"]],
                             [c["rect"] for c in self.dialogs[(dialog, JAPANESE)]["controls"]])

    def test_texts_the_user_reads(self):
        texts = {
            (104, 1016): ("Up", "↑上へ"), (104, 1004): ("Down", "↓下へ"),
            (104, 1049): ("Copy", "複製"), (104, 1014): ("Edit", "編集"),
            (105, 1017): ("Built-in", "内蔵コマンド"), (105, 1018): ("External", "外部コマンド"),
            (105, 1021): ("Browse", "参照"), (108, 1027): ("Key Type", "直接入力"),
            (108, 1031): ("WIN", "WIN"), (111, 1030): ("Enable", "有効"),
            (111, 1070): ("Change", "変更"), (111, 1046): ("Play", "再生"),
            (107, 2): ("Cancel", "Cancel"),
        }
        for (dialog, ident), (english, japanese) in texts.items():
            self.assertEqual(self.control(dialog, ENGLISH, ident)["text"], english)
            self.assertEqual(self.control(dialog, JAPANESE, ident)["text"], japanese)
        labels = [c["text"] for c in self.dialogs[(111, JAPANESE)]["controls"] if c["id"] == -1]
        self.assertEqual(labels[:6], ["探索中断ホットキー", "タイムアウト時間(ミリ秒単位)",
                                      "サウンド(空白で無効)", "入力合致", "入力不一致", "探索中断"])

    def test_no_mnemonic_in_the_record_dialog_takes_a_recorded_alt_chord(self):
        for language in (ENGLISH, JAPANESE):
            texts = [c["text"] for c in self.dialogs[(112, language)]["controls"]]
            self.assertEqual([t for t in texts if "&" in t], [], language)


if __name__ == "__main__":
    unittest.main()
