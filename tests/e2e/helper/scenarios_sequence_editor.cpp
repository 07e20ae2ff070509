// The sequence editor, opened from the tray menu: sequences built from nothing with Add, keys
// from the hotkey editor and commands from the command editor, reordered, copied and deleted,
// saved byte for byte by OK and then run by the engine; the enabled buttons at opening, after a
// selection and after a deletion; Cancel writing nothing; a damaged record reported once and the
// file kept as a backup before OK replaces it.
#include "editor_steps.h"
#include "key_texts.h"

namespace pavix_e2e {
namespace {

using Rows = std::vector<std::vector<std::wstring>>;

Rows NameRows(const std::vector<std::wstring>& names) {
    Rows rows;
    for (const std::wstring& name : names) {
        rows.push_back({name});
    }
    return rows;
}

// The right-hand side shows this sequence: its name, its keys and its commands, no key or
// command row selected unless given.
Verdict ExpectShown(const Dialog& editor, const SequenceSpec& sequence, int keySelected = -1,
                    int commandSelected = -1) {
    if (Verdict v = editor.ExpectText(kSequenceName, FromAnsi(sequence.name)); !v.passed) {
        return v;
    }
    Rows keys;
    for (const Chord& chord : sequence.keys) {
        keys.push_back(KeyRow(chord));
    }
    if (Verdict v = editor.ExpectListRows(kKeyList, keys, keySelected); !v.passed) {
        return v;
    }
    Rows commands;
    for (const CommandSpec& command : sequence.commands) {
        commands.push_back(CommandRow(command, false));
    }
    return editor.ExpectListRows(kCommandList, commands, commandSelected);
}

Verdict ExpectButtons(const Dialog& editor, const std::vector<int>& enabled,
                      const std::string& when) {
    return ExpectOnlyEnabled(editor, SequenceEditorButtons(), enabled, when);
}

// The five buttons of the sequence group alone.
Verdict ExpectSequenceButtons(const Dialog& editor, const std::vector<int>& enabled,
                              const std::string& when) {
    return ExpectOnlyEnabled(editor, SequenceGroupButtons(), enabled, when);
}

// Opens the editor from the menu over a Sequence.dat it cannot read completely: first the box
// with `error` and the note that OK keeps a backup, then the editor.
Verdict OpenAfterReadError(ScenarioContext& ctx, const std::wstring& error, Dialog& editor) {
    if (!PostMenuCommand(ctx.pavix.Window(), kMenuEditSequence)) {
        return Fail("cannot post the menu command Edit Sequence");
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), error + BackupNote(SequencePath(ctx), false));
        !v.passed) {
        return Fail("when the editor opens: " + v.reason);
    }
    return editor.WaitForOpen(ctx.pavix.Handle(), ctx.pavix.Id(), EnglishTitles().sequenceEditor);
}

// Builds two sequences from an empty file, copies, reorders and deletes, and checks every step
// in the controls; OK writes exactly the two sequences left, which the engine then runs.
Verdict BuildAndSave(ScenarioContext& ctx) {
    const SequenceSpec exitSequence = {"exit", {kChordX}, {Builtin(kBuiltinExitPavix)}};
    const SequenceSpec markerSequence = {"run marker", {kChordA, kChordB}, {ctx.MarkerCommand()}};
    SequenceSpec copy = exitSequence;
    copy.name += "$";

    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenFromMenu(ctx, kMenuEditSequence, EnglishTitles().sequenceEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(kSequenceList, {}, -1); !v.passed) {
        return Fail("with no Sequence.dat: " + v.reason);
    }
    if (Verdict v = ExpectButtons(editor, {kSequenceAdd}, "with no Sequence.dat"); !v.passed) {
        return v;
    }
    // Add twice: two rows "Sequence", the new one selected and shown each time, each marked as one
    // that can never run while it has no keys.
    if (Verdict v = editor.Click(kSequenceAdd); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(kSequenceList, NameRows({L"! Sequence"}), 0); !v.passed) {
        return Fail("after Add: " + v.reason);
    }
    if (Verdict v = ExpectButtons(
            editor, {kSequenceAdd, kSequenceDelete, kSequenceCopy, kKeyAdd, kCommandAdd},
            "after Add");
        !v.passed) {
        return v;
    }
    if (Verdict v = editor.Click(kSequenceAdd); !v.passed) {
        return v;
    }
    if (Verdict v =
            editor.ExpectListRows(kSequenceList, NameRows({L"! Sequence", L"! Sequence"}), 1);
        !v.passed) {
        return Fail("after a second Add: " + v.reason);
    }
    if (Verdict v = ExpectButtons(
            editor,
            {kSequenceAdd, kSequenceDelete, kSequenceCopy, kSequenceUp, kKeyAdd, kCommandAdd},
            "after a second Add");
        !v.passed) {
        return v;
    }
    // Copy of the selected "Sequence" appends "Sequence$" and shows it; deleting that last row
    // leaves no sequence shown, so only Add stays usable.
    if (Verdict v = editor.Click(kSequenceCopy); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(
            kSequenceList, NameRows({L"! Sequence", L"! Sequence", L"! Sequence$"}), 2);
        !v.passed) {
        return Fail("after Copy: " + v.reason);
    }
    if (Verdict v = ExpectShown(editor, {"Sequence$", {}, {}}); !v.passed) {
        return Fail("after Copy: " + v.reason);
    }
    if (Verdict v = editor.Click(kSequenceDelete); !v.passed) {
        return v;
    }
    if (Verdict v =
            editor.ExpectListRows(kSequenceList, NameRows({L"! Sequence", L"! Sequence"}), -1);
        !v.passed) {
        return Fail("after Delete of the copy: " + v.reason);
    }
    if (Verdict v = ExpectButtons(editor, {kSequenceAdd}, "after Delete of the last row");
        !v.passed) {
        return v;
    }
    if (!editor.SelectListRow(kSequenceList, 1)) {
        return Fail("cannot select sequence row 1");
    }
    // The second sequence: a name, two keys, the marker command. The name is stored when the
    // key list's selection changes.
    if (!editor.SetText(kSequenceName, FromAnsi(markerSequence.name))) {
        return Fail("cannot type the sequence name");
    }
    for (const Chord& chord : markerSequence.keys) {
        if (Verdict v = AddKey(ctx, editor, chord); !v.passed) {
            return v;
        }
    }
    if (Verdict v = AddExternalCommand(ctx, editor, ctx.MarkerCommand()); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectShown(editor, markerSequence, 1, 0); !v.passed) {
        return Fail("after adding two keys and a command: " + v.reason);
    }
    if (Verdict v = ExpectButtons(
            editor,
            {kSequenceAdd, kSequenceDelete, kSequenceCopy, kSequenceUp, kKeyUp, kKeyAdd, kKeyEdit,
             kKeyDelete, kCommandAdd, kCommandEdit, kCommandDelete},
            "with the last key and the command selected");
        !v.passed) {
        return v;
    }
    // The first sequence, selected by a click: a name, one key, a built-in command.
    if (!editor.SelectListRow(kSequenceList, 0)) {
        return Fail("cannot select sequence row 0");
    }
    if (Verdict v = editor.ExpectListRows(
            kSequenceList, NameRows({L"! Sequence", FromAnsi(markerSequence.name)}), 0);
        !v.passed) {
        return Fail("after selecting row 0: " + v.reason);
    }
    if (Verdict v = ExpectShown(editor, {"Sequence", {}, {}}); !v.passed) {
        return Fail("after selecting row 0: " + v.reason);
    }
    if (Verdict v = ExpectButtons(
            editor,
            {kSequenceAdd, kSequenceDelete, kSequenceCopy, kSequenceDown, kKeyAdd, kCommandAdd},
            "after selecting row 0");
        !v.passed) {
        return v;
    }
    if (!editor.SetText(kSequenceName, FromAnsi(exitSequence.name))) {
        return Fail("cannot type the sequence name");
    }
    if (Verdict v = AddKey(ctx, editor, kChordX); !v.passed) {
        return v;
    }
    if (Verdict v = AddBuiltinCommand(ctx, editor, kBuiltinExitPavix, false); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectShown(editor, exitSequence, 0, 0); !v.passed) {
        return Fail("after adding a key and a built-in command: " + v.reason);
    }
    // Copy appends a deep copy named with "$" and shows it; Up and Down move it.
    if (Verdict v = editor.Click(kSequenceCopy); !v.passed) {
        return v;
    }
    if (Verdict v =
            editor.ExpectListRows(kSequenceList, NameRows({L"exit", L"run marker", L"! exit$"}), 2);
        !v.passed) {
        return Fail("after Copy: " + v.reason);
    }
    // The key and command lists keep their row counts, and with them their selections.
    if (Verdict v = ExpectShown(editor, copy, kAnyRow, kAnyRow); !v.passed) {
        return Fail("after Copy: " + v.reason);
    }
    if (Verdict v = editor.Click(kSequenceUp); !v.passed) {
        return v;
    }
    if (Verdict v =
            editor.ExpectListRows(kSequenceList, NameRows({L"exit", L"! exit$", L"run marker"}), 1);
        !v.passed) {
        return Fail("after Up: " + v.reason);
    }
    if (Verdict v = ExpectSequenceButtons(
            editor, {kSequenceAdd, kSequenceDelete, kSequenceCopy, kSequenceUp, kSequenceDown},
            "after Up");
        !v.passed) {
        return v;
    }
    if (Verdict v = editor.Click(kSequenceDown); !v.passed) {
        return v;
    }
    if (Verdict v =
            editor.ExpectListRows(kSequenceList, NameRows({L"exit", L"run marker", L"! exit$"}), 2);
        !v.passed) {
        return Fail("after Down: " + v.reason);
    }
    if (Verdict v = ExpectSequenceButtons(
            editor, {kSequenceAdd, kSequenceDelete, kSequenceCopy, kSequenceUp}, "after Down");
        !v.passed) {
        return v;
    }
    // Delete of the last row again: the name field keeps the deleted sequence's name.
    if (Verdict v = editor.Click(kSequenceDelete); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(kSequenceList, NameRows({L"exit", L"run marker"}), -1);
        !v.passed) {
        return Fail("after Delete: " + v.reason);
    }
    if (Verdict v = ExpectShown(editor, {copy.name, {}, {}}); !v.passed) {
        return Fail("after Delete of the last row: " + v.reason);
    }
    if (Verdict v = ExpectButtons(editor, {kSequenceAdd}, "after Delete of the last row");
        !v.passed) {
        return v;
    }
    if (Verdict v = CloseAndExpectIdle(ctx, editor, IDOK); !v.passed) {
        return v;
    }
    if (Verdict v =
            ExpectFileBytes(SequencePath(ctx), SequenceFileBytes({exitSequence, markerSequence}));
        !v.passed) {
        return Fail("after OK: " + v.reason);
    }
    // The engine loaded the saved sequences: it holds their chords and runs the marker.
    if (Verdict v = ExpectChordsFree({kChordX, kChordA, kChordB}, false, "after OK"); !v.passed) {
        return v;
    }
    if (!PressChords({kChordA, kChordB})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after A: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(3, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after A B: " + v.reason);
    }
    return ctx.ExpectRuns(1);
}

// With sequences in the file the first is shown but not selected; a selection enables the
// sequence buttons, a deletion shows the next sequence without selecting it, a typed name is
// stored before Copy; Cancel then leaves the file as it was. The second name holds a zero byte,
// which the reader ends the name at, so a rewrite of the file could not give back the same bytes.
Verdict ButtonStatesAndCancel(ScenarioContext& ctx) {
    const Chord shiftF1 = {static_cast<std::uint16_t>(kControl | kAlt | kShift), VK_F1};
    const std::vector<SequenceSpec> sequences = {
        {"first", {kChordA, shiftF1}, {Builtin(kBuiltinLockSystem), ctx.MarkerCommand()}},
        {std::string("sec\0ond", 7), {kChordC}, {Builtin(kBuiltinDoNothing)}},
        {"third", {}, {}},
    };
    const Bytes bytes = SequenceFileBytes(sequences);
    if (Verdict v = ctx.WriteSequenceBytes(bytes); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenFromMenu(ctx, kMenuEditSequence, EnglishTitles().sequenceEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v =
            editor.ExpectListRows(kSequenceList, NameRows({L"first", L"sec", L"! third"}), -1);
        !v.passed) {
        return Fail("at opening: " + v.reason);
    }
    if (Verdict v = ExpectShown(editor, sequences[0]); !v.passed) {
        return Fail("at opening: " + v.reason);
    }
    if (Verdict v = ExpectButtons(editor, {kSequenceAdd, kKeyAdd, kCommandAdd}, "at opening");
        !v.passed) {
        return v;
    }
    if (!editor.SelectListRow(kSequenceList, 1)) {
        return Fail("cannot select sequence row 1");
    }
    SequenceSpec second = sequences[1];
    second.name = "sec";
    if (Verdict v = ExpectShown(editor, second); !v.passed) {
        return Fail("after selecting row 1: " + v.reason);
    }
    if (Verdict v = ExpectButtons(editor,
                                  {kSequenceAdd, kSequenceDelete, kSequenceCopy, kSequenceUp,
                                   kSequenceDown, kKeyAdd, kCommandAdd},
                                  "after selecting row 1");
        !v.passed) {
        return v;
    }
    if (!editor.SelectListRow(kKeyList, 0)) {
        return Fail("cannot select key row 0");
    }
    if (Verdict v = ExpectButtons(editor,
                                  {kSequenceAdd, kSequenceDelete, kSequenceCopy, kSequenceUp,
                                   kSequenceDown, kKeyAdd, kKeyEdit, kKeyDelete, kCommandAdd},
                                  "after selecting the only key");
        !v.passed) {
        return v;
    }
    if (Verdict v = editor.Click(kKeyDelete); !v.passed) {
        return v;
    }
    second.keys.clear();
    if (Verdict v = ExpectShown(editor, second); !v.passed) {
        return Fail("after deleting the key: " + v.reason);
    }
    if (Verdict v = editor.Click(kSequenceDelete); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(kSequenceList, NameRows({L"first", L"! third"}), -1);
        !v.passed) {
        return Fail("after Delete of row 1: " + v.reason);
    }
    if (Verdict v = ExpectShown(editor, sequences[2]); !v.passed) {
        return Fail("after Delete of row 1 the following sequence should show: " + v.reason);
    }
    if (Verdict v =
            ExpectButtons(editor, {kSequenceAdd, kKeyAdd, kCommandAdd}, "after Delete of row 1");
        !v.passed) {
        return v;
    }
    // A name typed and followed directly by Copy is stored first: the copy is named after it.
    if (!editor.SelectListRow(kSequenceList, 0)) {
        return Fail("cannot select sequence row 0");
    }
    if (!editor.SetText(kSequenceName, L"renamed")) {
        return Fail("cannot type the sequence name");
    }
    if (Verdict v = editor.Click(kSequenceCopy); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(kSequenceList,
                                          NameRows({L"renamed", L"! third", L"! renamed$"}), 2);
        !v.passed) {
        return Fail("after typing a name and Copy: " + v.reason);
    }
    if (Verdict v = CloseAndExpectIdle(ctx, editor, IDCANCEL); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectFileBytes(SequencePath(ctx), bytes); !v.passed) {
        return Fail("after Cancel: " + v.reason);
    }
    return ExpectChordsFree({kChordA, shiftF1, kChordC}, false, "after Cancel");
}

// A damaged third record: the engine reports it at start-up, and the editor once more when it
// opens, listing the two records before it and saying that OK keeps the original. OK keeps the
// file byte for byte as Sequence.dat.bak and saves the two records alone, so the engine's reload
// that follows finds nothing to report and runs the first.
Verdict DamagedRecordReportedOnce(ScenarioContext& ctx) {
    const std::vector<SequenceSpec> sequences = {
        {"one", {kChordA}, {ctx.MarkerCommand()}},
        {"two", {kChordB, kChordC}, {Builtin(kBuiltinDoNothing)}},
    };
    const Bytes bytes = SequenceFileBytes(sequences) +
                        SequenceRecord({"damaged", {kChordD}, {UnknownKindCommand()}});
    if (Verdict v = ctx.WriteSequenceBytes(bytes); !v.passed) {
        return v;
    }
    const std::wstring invalid = L"Data file format is Invalid";
    if (Verdict v = ctx.StartPavix(); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), invalid); !v.passed) {
        return Fail("at start-up: " + v.reason);
    }
    if (Verdict v = ctx.WaitForTray(kAdd, NIM_ADD, nullptr); !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenAfterReadError(ctx, invalid, editor); !v.passed) {
        return v;
    }
    if (!FindMessageBoxes(ctx.pavix.Id()).empty()) {
        return Fail("the editor reported the damaged record more than once");
    }
    if (Verdict v = editor.ExpectListRows(kSequenceList, NameRows({L"one", L"two"}), -1);
        !v.passed) {
        return v;
    }
    if (Verdict v = ExpectShown(editor, sequences[0]); !v.passed) {
        return v;
    }
    if (Verdict v = CloseAndExpectIdle(ctx, editor, IDOK); !v.passed) {
        return v;
    }
    if (!FindMessageBoxes(ctx.pavix.Id()).empty()) {
        return Fail("a message box appeared after the editor saved the readable records");
    }
    if (Verdict v = ExpectFileBytes(SequencePath(ctx), SequenceFileBytes(sequences)); !v.passed) {
        return Fail("after OK: " + v.reason);
    }
    if (Verdict v = ExpectFileBytes(BackupPath(SequencePath(ctx)), bytes); !v.passed) {
        return Fail("the backup after OK: " + v.reason);
    }
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    return ctx.ExpectRuns(1);
}

// While another program holds Sequence.dat: the editor opens with nothing read and says so, and OK
// cannot keep the copy it must make first, says so too, and leaves the file as it was.
Verdict EditWhileTheFileIsHeld(ScenarioContext& ctx) {
    const std::string path = SequencePath(ctx);
    Dialog editor;
    if (Verdict v = OpenAfterReadError(ctx, L"Failed to read file", editor); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(kSequenceList, Rows{}, -1); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ClickToOpen(IDOK); !v.passed) {
        return v;
    }
    if (Verdict v =
            ExpectErrorBox(ctx.pavix.Id(), L"Failed to write file\n" + FromAnsi(BackupPath(path)));
        !v.passed) {
        return Fail("after OK: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(kAfterEditor, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after the editor closed: " + v.reason);
    }
    return Pass();
}

Verdict FileHeldByAnotherProgramIsNotReplaced(ScenarioContext& ctx) {
    const Bytes bytes = SequenceFileBytes({{"one", {kChordA}, {Builtin(kBuiltinDoNothing)}}});
    if (Verdict v = ctx.WriteSequenceBytes(bytes); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const std::string path = SequencePath(ctx);
    const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        return Fail("cannot hold Sequence.dat open");
    }
    const Verdict edited = EditWhileTheFileIsHeld(ctx);
    CloseHandle(held);
    if (!edited.passed) {
        return edited;
    }
    if (Verdict v = ExpectFileBytes(path, bytes); !v.passed) {
        return Fail("after OK: " + v.reason);
    }
    if (FileExists(BackupPath(path))) {
        return Fail("a backup was made of a file nobody could read");
    }
    return Pass();
}

}  // namespace

std::vector<Scenario> SequenceEditorScenarios() {
    return {
        {"sequence_editor_builds_saves_and_runs_sequences", "en", true, BuildAndSave},
        {"sequence_editor_button_states_and_cancel", "en", true, ButtonStatesAndCancel},
        {"sequence_editor_reports_damaged_record_once", "en", true, DamagedRecordReportedOnce},
        {"sequence_editor_leaves_a_file_another_program_holds", "en", true,
         FileHeldByAnotherProgramIsNotReplaced},
    };
}

}  // namespace pavix_e2e
