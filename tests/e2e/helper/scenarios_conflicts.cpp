// The sequence editor marks every sequence that can never run and says why for the one shown: a
// sequence beaten by an earlier one with the same chords, one that begins with all the chords of
// another, one whose chord is the abort key, and one whose chord another process holds (which
// the editor learns by registering the chord for an instant, and gives back at once).
#include "editor_steps.h"
#include "key_texts.h"

namespace pavix_e2e {
namespace {

constexpr int kWarning = 1060;
constexpr Chord kChordL = CtrlAlt('L');
constexpr Chord kChordN = CtrlAlt('N');

struct Expected {
    std::wstring row;
    std::wstring reason;
};

// Selects each row in turn and checks the list's rows and the reason shown for each.
Verdict ExpectWarnings(const Dialog& editor, const std::vector<Expected>& expected) {
    std::vector<std::vector<std::wstring>> rows;
    for (const Expected& one : expected) {
        rows.push_back({one.row});
    }
    if (Verdict v = editor.ExpectListRows(kSequenceList, rows, kAnyRow); !v.passed) {
        return v;
    }
    for (std::size_t row = 0; row < expected.size(); ++row) {
        if (!editor.SelectListRow(kSequenceList, static_cast<int>(row)) || !editor.Settle()) {
            return Fail("cannot select sequence row " + std::to_string(row));
        }
        if (Verdict v = editor.ExpectText(kWarning, expected[row].reason); !v.passed) {
            return Fail("with row " + std::to_string(row) + " selected: " + v.reason);
        }
    }
    return Pass();
}

Verdict ConflictsMarkedInTheEditor(ScenarioContext& ctx) {
    ConfigSpec config = QuietConfig();
    config.abortEnabled = 1;
    config.abortKey = kChordQ;
    if (Verdict v = ctx.WriteConfig(config); !v.passed) {
        return v;
    }
    const CommandSpec nothing = Builtin(kBuiltinDoNothing);
    if (Verdict v = ctx.WriteSequences({
            {"Open notes", {kChordA, kChordN}, {nothing}},
            {"Notes again", {kChordA, kChordN}, {nothing}},
            {"Lock", {kChordA, kChordL}, {nothing}},
            {"Lock and more", {kChordA, kChordL, kChordX}, {nothing}},
            {"Aborts", {kChordA, kChordQ, kChordD}, {nothing}},
            {"Held", {kChordA, kChordG}, {nothing}},
        });
        !v.passed) {
        return v;
    }
    // Taken before Pavix starts, so its enabling passes report it.
    if (!ctx.hotkeys.Take(kChordG)) {
        return Fail("the helper could not take Control+Alt+G itself");
    }
    const std::wstring refused = L"Failed to register Hotkey : " + ChordLabel(kChordG);
    if (Verdict v = ctx.StartPavix(); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), refused); !v.passed) {
        return Fail("at start-up: " + v.reason);
    }
    if (Verdict v = ctx.WaitForTray(0, NIM_ADD, nullptr); !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenFromMenu(ctx, kMenuEditSequence, EnglishTitles().sequenceEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = ExpectWarnings(
            editor,
            {{L"Open notes", L""},
             {L"! Notes again", L"Never runs: \"Open notes\" completes first on the same keys."},
             {L"Lock", L""},
             {L"! Lock and more",
              L"Never runs: it begins with all the keys of \"Lock\", which completes first."},
             {L"! Aborts", L"Never completes: key 2 is the abort key."},
             {L"! Held", L"Never runs while another program holds " + ChordLabel(kChordG) + L"."}});
        !v.passed) {
        return v;
    }
    // The editor gave back every chord it tried: Pavix holds none while an editor is open.
    if (Verdict v = ExpectChordsFree({kChordA, kChordN, kChordL, kChordX, kChordQ, kChordD}, true,
                                     "while the editor is open");
        !v.passed) {
        return v;
    }
    if (Verdict v = editor.ClickToClose(IDCANCEL); !v.passed) {
        return v;
    }
    // Enabling again reports the held chord once more, and nothing else.
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), refused); !v.passed) {
        return Fail("after the editor closed: " + v.reason);
    }
    return ctx.ExpectIcon(1, NIM_MODIFY, 0, true);
}

// In Japanese, with a warning that comes and goes as the user edits: a copy has the same chords
// as its source until a key is added to it. OK saves it either way.
Verdict JapaneseWarningFollowsTheEdits(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    const SequenceSpec notes = {"Notes", {kChordA, kChordN}, {Builtin(kBuiltinDoNothing)}};
    if (Verdict v = ctx.WriteSequences({notes}); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenFromMenu(ctx, kMenuEditSequence, JapaneseTitles().sequenceEditor, &editor);
        !v.passed) {
        return v;
    }
    if (!editor.SelectListRow(kSequenceList, 0)) {
        return Fail("cannot select sequence row 0");
    }
    if (Verdict v = editor.Click(kSequenceCopy); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectWarnings(
            editor, {{L"Notes", L""},
                     {L"! Notes$", L"実行されません: 同じキーの「Notes」が先に完了します。"}});
        !v.passed) {
        return v;
    }
    if (Verdict v = AddKey(ctx, editor, kChordX, true); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectWarnings(
            editor, {{L"Notes", L""},
                     {L"! Notes$",
                      L"実行されません: 「Notes」のキーをすべて含んで始まるため、「Notes」が先に"
                      L"完了します。"}});
        !v.passed) {
        return v;
    }
    if (Verdict v = editor.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    SequenceSpec copy = notes;
    copy.name += "$";
    copy.keys.push_back(kChordX);
    return ExpectFileBytes(SequencePath(ctx), SequenceFileBytes({notes, copy}));
}

}  // namespace

std::vector<Scenario> ConflictScenarios() {
    return {
        {"editor_marks_sequences_that_never_run", "en", true, ConflictsMarkedInTheEditor},
        {"ja_editor_warning_follows_the_edits", "ja", true, JapaneseWarningFollowsTheEdits},
    };
}

}  // namespace pavix_e2e
