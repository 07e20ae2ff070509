// A sequence typed in one go into the Record box of the sequence editor, which then runs; and the
// sheet of all sequences, opened beside the running engine, filtered and copied as text.
#include "editor_steps.h"
#include "key_texts.h"

namespace pavix_e2e {
namespace {

using RecordIds = pavix::ids::RecordDialogIds;
using SheetIds = pavix::ids::SequenceSheetIds;

const std::wstring kRecordTitle = L"Record Keys";
const std::wstring kSheetTitle = L"All Sequences";

std::wstring Label(const Chord& chord) {
    return ModifierPrefix(chord.modifiers) + L"+" + KeyName(chord.virtualKey);
}

// The clipboard's text, read as soon as Pavix has let go of the clipboard.
bool ClipboardText(std::wstring* text) {
    return WaitUntil([&] {
        if (!OpenClipboard(nullptr)) {
            return false;
        }
        bool read = false;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                *text = chars;
                read = true;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return read;
    });
}

bool EmptyTheClipboard() {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    const bool emptied = EmptyClipboard() != FALSE;
    CloseClipboard();
    return emptied;
}

// The sequence has no keys until three chords pressed in the Record box become its keys; after
// OK in both dialogs the engine runs it on those chords.
Verdict RecordTypesASequenceThatThenRuns(ScenarioContext& ctx) {
    const std::vector<Chord> chords = {kChordA, kChordB, kChordC};
    if (Verdict v = ctx.WriteSequences({{"run marker", {}, {ctx.MarkerCommand()}}}); !v.passed) {
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
    Dialog record;
    if (Verdict v = OpenNested(ctx, editor, kKeyRecord, kRecordTitle, &record); !v.passed) {
        return v;
    }
    if (!WaitUntil([&] { return record.Focus() == record.Item(RecordIds::kRecorder); })) {
        return Fail("the recording box does not have the focus");
    }
    if (!PressChords(chords)) {
        return Fail("SendInput refused the chords");
    }
    std::vector<std::vector<std::wstring>> rows;
    for (const Chord& chord : chords) {
        rows.push_back(KeyRow(chord));
    }
    if (Verdict v = record.ExpectListRows(RecordIds::kChordList, rows, kAnyRow); !v.passed) {
        return Fail("while recording: " + v.reason);
    }
    if (Verdict v = record.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(kKeyList, rows, 2); !v.passed) {
        return Fail("after Record: " + v.reason);
    }
    if (Verdict v = CloseAndExpectIdle(ctx, editor, IDOK); !v.passed) {
        return v;
    }
    if (!PressChords(chords)) {
        return Fail("SendInput refused the chords");
    }
    return ctx.ExpectRuns(1);
}

// Two groups in list order; the filter keeps one sequence of the first; Copy puts exactly the
// rows shown on the clipboard; the engine holds its chords all along.
Verdict SheetListsFiltersAndCopies(ScenarioContext& ctx) {
    const CommandSpec marker = ctx.MarkerCommand();
    const CommandSpec exit = Builtin(kBuiltinExitPavix);
    const CommandSpec lock = Builtin(kBuiltinLockSystem);
    if (Verdict v = ctx.WriteSequences({{"run marker", {kChordA, kChordB}, {marker}},
                                        {"exit", {kChordX}, {exit}},
                                        {"lock", {kChordA, kChordC}, {lock}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    Dialog sheet;
    if (Verdict v = OpenFromMenu(ctx, kMenuAllSequences, kSheetTitle, &sheet); !v.passed) {
        return v;
    }
    const std::wstring indent = L"    ";
    const std::wstring lockKeys = Label(kChordA) + L", " + Label(kChordC);
    const std::wstring lockRuns = CommandRow(lock, false)[0];
    if (Verdict v =
            sheet.ExpectListRows(SheetIds::kSheetList,
                                 {{Label(kChordA), L"(2 sequences)", L""},
                                  {indent + Label(kChordA) + L", " + Label(kChordB), L"run marker",
                                   CommandRow(marker, false)[0]},
                                  {indent + lockKeys, L"lock", lockRuns},
                                  {Label(kChordX), L"(1 sequence)", L""},
                                  {indent + Label(kChordX), L"exit", CommandRow(exit, false)[0]}},
                                 kAnyRow);
        !v.passed) {
        return Fail("on opening: " + v.reason);
    }
    if (Verdict v =
            ExpectChordsFree({kChordA, kChordB, kChordC, kChordX}, false, "with the sheet open");
        !v.passed) {
        return v;
    }
    if (!sheet.SetText(SheetIds::kFilterEdit, L"LOCK") || !sheet.Settle()) {
        return Fail("cannot type into the filter box");
    }
    if (Verdict v = sheet.ExpectListRows(
            SheetIds::kSheetList,
            {{Label(kChordA), L"(1 sequence)", L""}, {indent + lockKeys, L"lock", lockRuns}},
            kAnyRow);
        !v.passed) {
        return Fail("filtered: " + v.reason);
    }
    if (!EmptyTheClipboard()) {
        return Fail("cannot empty the clipboard");
    }
    if (Verdict v = sheet.Click(SheetIds::kCopyButton); !v.passed) {
        return v;
    }
    std::wstring copied;
    const std::wstring expected =
        Label(kChordA) + L"\t(1 sequence)\r\n\t" + lockKeys + L"\tlock\t" + lockRuns + L"\r\n";
    if (!ClipboardText(&copied) || copied != expected) {
        return Fail("the clipboard holds " + Utf8(copied) + " instead of " + Utf8(expected));
    }
    // Ctrl+C in the list copies the same.
    if (!EmptyTheClipboard()) {
        return Fail("cannot empty the clipboard");
    }
    SendMessageW(sheet.Window(), WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(sheet.Item(SheetIds::kSheetList)), TRUE);
    if (!WaitUntil([&] { return sheet.Focus() == sheet.Item(SheetIds::kSheetList); })) {
        return Fail("the list does not take the focus");
    }
    if (!PressChords({Chord{MOD_CONTROL, 'C'}})) {
        return Fail("SendInput refused Ctrl+C");
    }
    copied.clear();
    if (!ClipboardText(&copied) || copied != expected) {
        return Fail("after Ctrl+C the clipboard holds " + Utf8(copied));
    }
    return sheet.ClickToClose(IDCANCEL);
}

}  // namespace

std::vector<Scenario> RecordAndSheetScenarios() {
    return {
        {"record_types_a_sequence_that_then_runs", "en", true, RecordTypesASequenceThatThenRuns},
        {"sheet_lists_filters_and_copies", "en", true, SheetListsFiltersAndCopies},
    };
}

}  // namespace pavix_e2e
