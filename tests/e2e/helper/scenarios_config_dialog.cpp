// The configuration dialog, opened from the tray menu (its defaults saved by OK are a scenario of
// the shared table): what it shows from a Config.dat, Cancel writing nothing whatever was changed,
// a time-out that is not a number keeping the dialog open, the abort key edited through the hotkey
// editor and the key capture box until the engine holds it, and an unusable Config.dat kept as a
// backup before OK replaces it.
#include <windows.h>

#include <commctrl.h>

#include "editor_steps.h"
#include "key_texts.h"

namespace pavix_e2e {
namespace {

// What the dialog's Settings hold when Config.dat is missing: no abort key, the zero chord,
// 5000 ms, and the six default sound files beside the executable.
ConfigSpec DefaultConfig(const ScenarioContext& ctx) {
    ConfigSpec config = QuietConfig();
    config.timeout = 5000;
    for (std::size_t event = 0; event < 6; ++event) {
        config.sounds[event] = ctx.workspace.folder + "\\" + kDefaultSoundFiles[event];
    }
    return config;
}

Verdict ExpectConfigShows(const Dialog& dialog, const ConfigSpec& config) {
    if (Verdict v = dialog.ExpectChecked(kConfigAbortEnable, config.abortEnabled); !v.passed) {
        return v;
    }
    if (Verdict v = dialog.ExpectText(kConfigAbortKeyField, ChordLabel(config.abortKey));
        !v.passed) {
        return v;
    }
    if (Verdict v = dialog.ExpectText(kConfigTimeout, std::to_wstring(config.timeout)); !v.passed) {
        return v;
    }
    for (std::size_t event = 0; event < 6; ++event) {
        if (Verdict v =
                dialog.ExpectText(kConfigSoundFields[event], FromAnsi(config.sounds[event]));
            !v.passed) {
            return v;
        }
    }
    return Pass();
}

// The stored file carries bytes after its 1595 that readers ignore: a dialog that rewrote the
// file, even with the same values, would lose them.
Verdict CancelKeepsFile(ScenarioContext& ctx) {
    ConfigSpec config = QuietConfig();
    config.abortEnabled = true;
    config.abortKey = kChordQ;
    config.timeout = 1234;
    config.sounds[0] = "C:\\sounds\\match one.wav";
    config.sounds[2] = "Z:\\abort.wav";
    config.sounds[3] = "timeout.wav";
    config.sounds[5] = "D:\\sounds\\disable.wav";
    const Bytes bytes = ConfigFileBytes(config) + "\xEE\xEE\xEE";
    if (Verdict v = ctx.WriteConfigBytes(bytes); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    Dialog dialog;
    if (Verdict v = OpenFromMenu(ctx, kMenuConfiguration, EnglishTitles().configuration, &dialog);
        !v.passed) {
        return v;
    }
    if (Verdict v = ExpectConfigShows(dialog, config); !v.passed) {
        return Fail("from Config.dat: " + v.reason);
    }
    // Change, then Cancel in the hotkey editor: the abort key stays.
    Dialog editor;
    if (Verdict v = OpenNested(ctx, dialog, kConfigChange, EnglishTitles().hotkeyEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = ExpectHotkeyEditorShows(editor, kChordQ); !v.passed) {
        return Fail("the hotkey editor should start from the abort key: " + v.reason);
    }
    if (Verdict v = PickChord(editor, kChordX); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ClickToClose(IDCANCEL); !v.passed) {
        return v;
    }
    dialog.Settle();
    if (Verdict v = dialog.ExpectText(kConfigAbortKeyField, ChordLabel(kChordQ)); !v.passed) {
        return Fail("after Cancel in the hotkey editor: " + v.reason);
    }
    // Changes everywhere, then Change and OK: the new label shows at once and what was typed
    // elsewhere stays; changing the chord does not touch the Enable box.
    if (Verdict v = dialog.SetCheck(kConfigAbortEnable, false); !v.passed) {
        return v;
    }
    if (!dialog.SetText(kConfigTimeout, L"777") ||
        !dialog.SetText(kConfigSoundFields[1], L"changed.wav")) {
        return Fail("cannot type into " + dialog.Name());
    }
    const Chord changed = {static_cast<std::uint16_t>(kControl | kShift), 'Z'};
    if (Verdict v = OpenNested(ctx, dialog, kConfigChange, EnglishTitles().hotkeyEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = PickChord(editor, changed); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    dialog.Settle();
    ConfigSpec shown = config;
    shown.abortEnabled = false;
    shown.abortKey = changed;
    shown.timeout = 777;
    shown.sounds[1] = "changed.wav";
    if (Verdict v = ExpectConfigShows(dialog, shown); !v.passed) {
        return Fail("after Change and OK in the hotkey editor: " + v.reason);
    }
    // A time-out that is not a number: OK beeps, keeps the dialog open with the focus on the
    // field, and writes nothing.
    if (!dialog.SetText(kConfigTimeout, L"")) {
        return Fail("cannot clear the time-out field");
    }
    if (Verdict v = dialog.Click(IDOK); !v.passed) {
        return v;
    }
    if (!IsWindow(dialog.Window()) || !IsWindowVisible(dialog.Window())) {
        return Fail("OK closed " + dialog.Name() + " although the time-out field was empty");
    }
    if (dialog.Focus() != dialog.Item(kConfigTimeout)) {
        return Fail("after OK with an empty time-out field the focus is not on that field");
    }
    if (Verdict v = ExpectFileBytes(ConfigPath(ctx), bytes); !v.passed) {
        return Fail("after OK with an empty time-out field: " + v.reason);
    }
    if (Verdict v = CloseAndExpectIdle(ctx, dialog, IDCANCEL); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectFileBytes(ConfigPath(ctx), bytes); !v.passed) {
        return Fail("after Cancel: " + v.reason);
    }
    // The engine was enabled again from the unchanged file: it holds the old abort key.
    return ExpectChordsFree({kChordQ}, false, "after Cancel, the abort key of Config.dat");
}

// The capture box starts from the editor's chord and hands back what its hotkey control holds;
// the capture control's extended-key flag stands for the WIN box in both directions.
Verdict AbortKeyFromKeyCapture(ScenarioContext& ctx) {
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    Dialog dialog;
    if (Verdict v = OpenFromMenu(ctx, kMenuConfiguration, EnglishTitles().configuration, &dialog);
        !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenNested(ctx, dialog, kConfigChange, EnglishTitles().hotkeyEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = ExpectHotkeyEditorShows(editor, Chord{}); !v.passed) {
        return Fail("with no Config.dat the abort key is the zero chord: " + v.reason);
    }
    const Chord extended = {static_cast<std::uint16_t>(kControl | kWin), VK_F2};
    const Chord abortKey = {static_cast<std::uint16_t>(kControl | kAlt | kShift), 'K'};
    struct Capture {
        WORD expectedAtStart;
        WORD typed;
        int button;
        Chord expectedAfter;
    };
    const Capture captures[] = {
        {0, MAKEWORD(VK_F2, HOTKEYF_CONTROL | HOTKEYF_EXT), IDOK, extended},
        {MAKEWORD(VK_F2, HOTKEYF_CONTROL | HOTKEYF_EXT),
         MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT), IDOK, abortKey},
        {MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT), MAKEWORD('J', HOTKEYF_ALT),
         IDCANCEL, abortKey},
    };
    for (const Capture& capture : captures) {
        const std::string step = std::string("capture ") + Hex(capture.typed) + " with " +
                                 (capture.button == IDOK ? "OK" : "Cancel");
        Dialog box;
        if (Verdict v = OpenNested(ctx, editor, kHotkeyKeyType, EnglishTitles().keyCapture, &box);
            !v.passed) {
            return Fail(step + ": " + v.reason);
        }
        if (box.Hotkey(kCaptureControl) != capture.expectedAtStart) {
            return Fail(step + ": the hotkey control starts at " +
                        Hex(box.Hotkey(kCaptureControl)) + ", expected the editor's chord " +
                        Hex(capture.expectedAtStart));
        }
        if (!box.SetHotkey(kCaptureControl, capture.typed)) {
            return Fail(step + ": cannot set the hotkey control");
        }
        if (Verdict v = box.ClickToClose(capture.button); !v.passed) {
            return Fail(step + ": " + v.reason);
        }
        editor.Settle();
        if (Verdict v = ExpectHotkeyEditorShows(editor, capture.expectedAfter); !v.passed) {
            return Fail(step + ": " + v.reason);
        }
    }
    if (Verdict v = editor.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    dialog.Settle();
    if (Verdict v = dialog.ExpectText(kConfigAbortKeyField, ChordLabel(abortKey)); !v.passed) {
        return Fail("after OK in the hotkey editor: " + v.reason);
    }
    if (Verdict v = dialog.ExpectChecked(kConfigAbortEnable, false); !v.passed) {
        return Fail("a new abort key must not tick Enable: " + v.reason);
    }
    if (Verdict v = dialog.SetCheck(kConfigAbortEnable, true); !v.passed) {
        return v;
    }
    if (Verdict v = CloseAndExpectIdle(ctx, dialog, IDOK); !v.passed) {
        return v;
    }
    ConfigSpec expected = DefaultConfig(ctx);
    expected.abortEnabled = true;
    expected.abortKey = abortKey;
    if (Verdict v = ExpectFileBytes(ConfigPath(ctx), ConfigFileBytes(expected)); !v.passed) {
        return Fail("after OK: " + v.reason);
    }
    return ExpectChordsFree({abortKey}, false, "after OK, the new abort key");
}

// A Config.dat that became unusable while Pavix ran: the dialog reports it with the note that OK
// keeps the original, opens with the record it could not fill (all zero), and OK keeps the file
// byte for byte as Config.dat.bak before writing the record shown.
Verdict KeepsBackupOfUnusableFile(ScenarioContext& ctx, bool japanese) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const Bytes unusable = ConfigHeader(2) + Bytes(kConfigBodySize, 0);
    if (Verdict v = ctx.WriteConfigBytes(unusable); !v.passed) {
        return v;
    }
    if (!WriteFileBytes(BackupPath(ConfigPath(ctx)), Bytes{'o', 'l', 'd'})) {
        return Fail("cannot write an older Config.dat.bak");
    }
    if (!PostMenuCommand(ctx.pavix.Window(), kMenuConfiguration)) {
        return Fail("cannot post the menu command Configuration");
    }
    const std::wstring mismatch =
        japanese ? L"設定ファイルのバージョン不一致" : L"Configuration Data Version mismatch";
    if (Verdict v =
            ExpectErrorBox(ctx.pavix.Id(), mismatch + BackupNote(ConfigPath(ctx), japanese));
        !v.passed) {
        return Fail("when the dialog opens: " + v.reason);
    }
    Dialog dialog;
    const DialogTitles& titles = japanese ? JapaneseTitles() : EnglishTitles();
    if (Verdict v = dialog.WaitForOpen(ctx.pavix.Handle(), ctx.pavix.Id(), titles.configuration);
        !v.passed) {
        return v;
    }
    ConfigSpec zero;
    zero.timeout = 0;
    if (Verdict v = ExpectConfigShows(dialog, zero); !v.passed) {
        return Fail("with an unusable Config.dat: " + v.reason);
    }
    if (Verdict v = CloseAndExpectIdle(ctx, dialog, IDOK); !v.passed) {
        return v;
    }
    if (!FindMessageBoxes(ctx.pavix.Id()).empty()) {
        return Fail("a message box appeared after OK");
    }
    if (Verdict v = ExpectFileBytes(BackupPath(ConfigPath(ctx)), unusable); !v.passed) {
        return Fail("the backup after OK: " + v.reason);
    }
    if (Verdict v = ExpectFileBytes(ConfigPath(ctx), ConfigFileBytes(zero)); !v.passed) {
        return Fail("after OK: " + v.reason);
    }
    return Pass();
}

}  // namespace

std::vector<Scenario> ConfigDialogScenarios() {
    return {
        {"config_dialog_cancel_keeps_file_after_changes", "en", true, CancelKeepsFile},
        {"config_dialog_abort_key_from_key_capture", "en", true, AbortKeyFromKeyCapture},
        {"config_dialog_keeps_backup_of_unusable_file", "en", true,
         [](ScenarioContext& ctx) { return KeepsBackupOfUnusableFile(ctx, false); }},
        {"ja_config_dialog_keeps_backup_of_unusable_file", "ja", true,
         [](ScenarioContext& ctx) { return KeepsBackupOfUnusableFile(ctx, true); }},
    };
}

}  // namespace pavix_e2e
