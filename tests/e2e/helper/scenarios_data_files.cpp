// Config.dat and Sequence.dat as Pavix finds them at start-up: each unusable form is reported
// once with its own text, the engine then holds no hotkey, and Pavix goes on with its icon showing
// the disabled picture and its menu offering Enable, as after every enabling pass that the file
// spoils; usable forms, a missing Config.dat and damaged records keep what can be used.
#include "editor_steps.h"
#include "scenario.h"

namespace pavix_e2e {
namespace {

// The magic, then a version field cut short.
Bytes ShortVersionSequenceFile() {
    return SequenceHeader().substr(0, kSequenceHeaderSize - 1);
}

struct BrokenFileCase {
    std::string name;
    std::string group;
    bool brokenConfig = true;  // otherwise Sequence.dat is broken and Config.dat is usable
    Bytes bytes;
    std::wstring expectedText;
};

// Opens the tray menu with a right button press on the icon and types the mnemonic of an item;
// an item that is greyed cannot be chosen so.
Verdict ChooseFromTrayMenu(ScenarioContext& ctx, wchar_t mnemonic) {
    PostMessageW(ctx.pavix.Window(), kTrayCallbackMessage, kTrayUid, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    if (!WaitUntil([&] {
            menu = FindPopupMenu(ctx.pavix.Id());
            return menu != nullptr;
        })) {
        return Fail("no popup menu opened on a right button press on the icon");
    }
    PostMessageW(menu, WM_CHAR, mnemonic, 0);
    if (WaitUntil([&] { return FindPopupMenu(ctx.pavix.Id()) == nullptr; }, 1000)) {
        return Pass();
    }
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitUntil([&] { return FindPopupMenu(ctx.pavix.Id()) == nullptr; });
    return Fail(std::string("the menu item with the mnemonic '") + static_cast<char>(mnemonic) +
                "' could not be chosen");
}

// The broken file is reported once, the engine holds no hotkey (the abort chord included, which
// is registered before Sequence.dat is read), and the icon is still added, with the picture that
// every later pass spoiled by the file keeps; Enable from the menu retries the load.
Verdict BrokenFileIsReported(ScenarioContext& ctx, const BrokenFileCase& broken) {
    ConfigSpec config = QuietConfig();
    config.abortEnabled = true;
    config.abortKey = kChordQ;
    const std::vector<SequenceSpec> sequences = {
        {"two", {kChordA, kChordB}, {ctx.MarkerCommand()}},
    };
    if (Verdict v =
            broken.brokenConfig ? ctx.WriteConfigBytes(broken.bytes) : ctx.WriteConfig(config);
        !v.passed) {
        return v;
    }
    if (Verdict v = broken.brokenConfig ? ctx.WriteSequences(sequences)
                                        : ctx.WriteSequenceBytes(broken.bytes);
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartPavix(); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), broken.expectedText); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WaitForTray(0, NIM_ADD, nullptr); !v.passed) {
        return Fail("no icon after the error: " + v.reason);
    }
    if (!FindMessageBoxes(ctx.pavix.Id()).empty()) {
        return Fail("more than one message box for one broken file");
    }
    for (const Chord& chord : {kChordQ, kChordA, kChordB}) {
        if (const DWORD error = ProbeChord(chord); error != 0) {
            return Fail("chord " + Hex(chord.virtualKey) +
                        " is registered although the engine should be disabled (error " +
                        std::to_string(error) + ")");
        }
    }
    // The menu offers Enable, which loads the file again: the same box, the same picture.
    if (Verdict v = ChooseFromTrayMenu(ctx, L'e'); !v.passed) {
        return Fail("after start-up: " + v.reason);
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), broken.expectedText); !v.passed) {
        return Fail("Enable should load the file again: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, 0, true); !v.passed) {
        return Fail("after Enable from the menu: " + v.reason);
    }
    // So does the pass after an editor, here the one that does not read the broken file.
    const bool japanese = broken.group == "ja";
    const DialogTitles& titles = japanese ? JapaneseTitles() : EnglishTitles();
    Dialog editor;
    if (Verdict v = broken.brokenConfig
                        ? OpenFromMenu(ctx, kMenuEditSequence, titles.sequenceEditor, &editor)
                        : OpenFromMenu(ctx, kMenuConfiguration, titles.configuration, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = editor.ClickToClose(IDCANCEL); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), broken.expectedText); !v.passed) {
        return Fail("closing " + editor.Name() + " should load the file again: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, 0, true); !v.passed) {
        return Fail("after " + editor.Name() + " closed: " + v.reason);
    }
    // Repaired, the file enables the engine: a different picture, the chords held.
    if (Verdict v = broken.brokenConfig ? ctx.WriteConfig(config) : ctx.WriteSequences(sequences);
        !v.passed) {
        return v;
    }
    if (Verdict v = ChooseFromTrayMenu(ctx, L'e'); !v.passed) {
        return Fail("after the failed passes: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(3, NIM_MODIFY, 0, false); !v.passed) {
        return Fail("after Enable with the file repaired: " + v.reason);
    }
    return ExpectChordsFree({kChordQ, kChordA, kChordB}, false,
                            "after Enable with the file repaired");
}

Verdict MissingConfigUsesDefaults(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteSequences({{"two", {kChordA, kChordB}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    if (!PressChords({kChordA, kChordB})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, 0, true); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.ExpectRuns(1); !v.passed) {
        return v;
    }
    if (FileExists(ctx.workspace.folder + "\\Config.dat")) {
        return Fail("Pavix created Config.dat, which it only reads");
    }
    return Pass();
}

// Sequences without chords or commands are left out silently; a damaged record ends the reading
// with one "Data file format is Invalid" box, so that the user knows the records after it are
// lost, and the records before it stay in force.
Verdict UnusableRecordsAreSkipped(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    const Bytes bytes = SequenceFileBytes({
        {"no commands", {kChordC}, {}},
        {"no chords", {}, {ctx.MarkerCommand()}},
        {"two", {kChordA, kChordB}, {ctx.MarkerCommand()}},
        {"damaged", {kChordD}, {UnknownKindCommand()}},
    });
    if (Verdict v = ctx.WriteSequenceBytes(bytes); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartPavix(); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), L"Data file format is Invalid"); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WaitForTray(0, NIM_ADD, nullptr); !v.passed) {
        return Fail("no icon after the error: " + v.reason);
    }
    if (!FindMessageBoxes(ctx.pavix.Id()).empty()) {
        return Fail("more than one message box for one damaged record");
    }
    if (ProbeChord(kChordC) != 0) {
        return Fail("the chord of a sequence without commands was registered");
    }
    if (ProbeChord(kChordD) != 0) {
        return Fail("the chord of the damaged record was registered");
    }
    if (ProbeChord(kChordA) != kErrorHotkeyAlreadyRegistered) {
        return Fail("the sequence before the damaged record was not registered");
    }
    if (!PressChords({kChordA, kChordB})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, 0, true); !v.passed) {
        return v;
    }
    return ctx.ExpectRuns(1);
}

std::vector<BrokenFileCase> BrokenFileCases() {
    const std::wstring invalid = L"Data file format is Invalid";
    const std::wstring version = L"Configuration Data Version mismatch";
    const std::wstring shortRead = L"Failed to read file";
    return {
        {"empty_config_is_invalid", "en", true, Bytes{}, invalid},
        {"config_version_2_is_a_mismatch", "en", true,
         ConfigHeader(2) + Bytes(kConfigBodySize, '\0'), version},
        {"config_short_body_fails_to_read", "en", true, ConfigHeader() + Bytes(100, '\0'),
         shortRead},
        {"empty_sequence_file_is_invalid", "en", false, Bytes{}, invalid},
        {"sequence_file_version_2_is_a_mismatch", "en", false, SequenceHeader(2), version},
        {"sequence_file_short_version_fails_to_read", "en", false, ShortVersionSequenceFile(),
         shortRead},
        {"ja_empty_config_is_invalid", "ja", true, Bytes{}, L"不正なフォーマットのファイル"},
        {"ja_sequence_file_version_2_is_a_mismatch", "ja", false, SequenceHeader(2),
         L"設定ファイルのバージョン不一致"},
    };
}

}  // namespace

std::vector<Scenario> DataFileScenarios() {
    std::vector<Scenario> scenarios;
    for (const BrokenFileCase& broken : BrokenFileCases()) {
        scenarios.push_back({broken.name, broken.group, true, [broken](ScenarioContext& ctx) {
                                 return BrokenFileIsReported(ctx, broken);
                             }});
    }
    scenarios.push_back({"missing_config_uses_defaults", "en", true, MissingConfigUsesDefaults});
    scenarios.push_back(
        {"unusable_sequence_records_are_skipped", "en", true, UnusableRecordsAreSkipped});
    return scenarios;
}

}  // namespace pavix_e2e
