// The sequences as text in the real program: Export through the save-file dialog, a change made
// to the text on disk, Import through the open-file dialog, OK, and the changed sequence runs.
#include "editor_steps.h"
#include "key_texts.h"

namespace pavix_e2e {
namespace {

constexpr wchar_t kExportTitle[] = L"Export Sequences";
constexpr wchar_t kImportTitle[] = L"Import Sequences";
constexpr wchar_t kJapaneseExportTitle[] = L"シーケンスの書き出し";
constexpr wchar_t kJapaneseImportTitle[] = L"シーケンスの読み込み";

Verdict ReadText(const std::string& path, std::string* text) {
    if (!WaitUntil([&] { return FileExists(path); }) || !ReadFileBytes(path, text)) {
        return Fail("Export wrote no " + path);
    }
    return Pass();
}

// Starts Pavix over `sequences`, opens the sequence editor and exports its list to `textPath`,
// leaving the editor open.
Verdict StartAndExport(ScenarioContext& ctx, const std::vector<SequenceSpec>& sequences,
                       const std::string& textPath, Dialog* editor, std::string* text) {
    if (Verdict v = ctx.WriteSequences(sequences); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    if (Verdict v = OpenFromMenu(ctx, kMenuEditSequence, EnglishTitles().sequenceEditor, editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = ChooseInFileDialog(ctx, *editor, kSequenceExport, kExportTitle, textPath);
        !v.passed) {
        return v;
    }
    return ReadText(textPath, text);
}

// The second chord of the one sequence goes from Ctrl+Alt+B to Ctrl+Alt+C in the text; the
// editor shows the change after Import, OK saves it, and the new chords run the sequence.
Verdict ExportChangeImportRun(ScenarioContext& ctx) {
    const SequenceSpec before = {"marker", {kChordA, kChordB}, {ctx.MarkerCommand()}};
    SequenceSpec after = before;
    after.keys[1] = kChordC;
    const std::string textPath = ctx.workspace.folder + "\\sequences.toml";
    DeleteFileA(textPath.c_str());
    Dialog editor;
    std::string text;
    if (Verdict v = StartAndExport(ctx, {before}, textPath, &editor, &text); !v.passed) {
        return v;
    }
    const std::string keys = "keys = [\"Ctrl+Alt+A\", \"Ctrl+Alt+B\"]";
    const std::size_t at = text.find(keys);
    if (at == std::string::npos) {
        return Fail("the exported text has no line " + keys + ":\n" + text);
    }
    text.replace(at, keys.size(), "keys = [\"Ctrl+Alt+A\", \"Ctrl+Alt+C\"]");
    if (!WriteFileBytes(textPath, text)) {
        return Fail("cannot write the changed " + textPath);
    }
    if (Verdict v = ChooseInFileDialog(ctx, editor, kSequenceImport, kImportTitle, textPath);
        !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectListRows(kKeyList, {KeyRow(kChordA), KeyRow(kChordC)}, kAnyRow);
        !v.passed) {
        return Fail("after Import: " + v.reason);
    }
    if (Verdict v = CloseAndExpectIdle(ctx, editor, IDOK); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectFileBytes(SequencePath(ctx), SequenceFileBytes({after})); !v.passed) {
        return Fail("after OK: " + v.reason);
    }
    if (!PressChords(after.keys)) {
        return Fail("SendInput refused the chords");
    }
    return ctx.ExpectRuns(1);
}

// Under the Japanese code page a name in Japanese goes into the text as UTF-8 and comes back into
// Sequence.dat as the same code page 932 bytes.
Verdict JapaneseNameThroughText(ScenarioContext& ctx) {
    // "テスト" in code page 932 and in UTF-8.
    const SequenceSpec sequence = {
        "\x83\x65\x83\x58\x83\x67", {kChordA}, {Builtin(kBuiltinDoNothing)}};
    const std::string utf8Name = "name = \"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\"";
    const std::string textPath = ctx.workspace.folder + "\\sequences.toml";
    DeleteFileA(textPath.c_str());
    if (Verdict v = ctx.WriteSequences({sequence}); !v.passed) {
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
    if (Verdict v =
            ChooseInFileDialog(ctx, editor, kSequenceExport, kJapaneseExportTitle, textPath);
        !v.passed) {
        return v;
    }
    std::string text;
    if (Verdict v = ReadText(textPath, &text); !v.passed) {
        return v;
    }
    if (text.find(utf8Name) == std::string::npos) {
        return Fail("the exported text has no line " + utf8Name + ":\n" + text);
    }
    if (!editor.SetText(kSequenceName, L"changed")) {
        return Fail("cannot type the sequence name");
    }
    if (Verdict v =
            ChooseInFileDialog(ctx, editor, kSequenceImport, kJapaneseImportTitle, textPath);
        !v.passed) {
        return v;
    }
    if (Verdict v = CloseAndExpectIdle(ctx, editor, IDOK); !v.passed) {
        return v;
    }
    return ExpectFileBytes(SequencePath(ctx), SequenceFileBytes({sequence}));
}

// The file the user chooses may have a neighbour called like Pavix's own save files: Export
// writes through a save file of a new name, so the neighbour keeps every byte and nothing else is
// left in the folder.
Verdict ExportSparesTheFilesBesideIt(ScenarioContext& ctx) {
    const std::string folder = ctx.workspace.folder + "\\texts";
    const std::string textPath = folder + "\\notes.toml";
    const std::string strangerPath = folder + "\\notes.new";
    const std::string stranger = "someone else's notes\r\n";
    CreateDirectoryA(folder.c_str(), nullptr);
    if (!WriteFileBytes(strangerPath, stranger)) {
        return Fail("cannot write " + strangerPath);
    }
    Dialog editor;
    std::string text;
    if (Verdict v = StartAndExport(ctx, {{"marker", {kChordA}, {ctx.MarkerCommand()}}}, textPath,
                                   &editor, &text);
        !v.passed) {
        return v;
    }
    if (Verdict v = CloseAndExpectIdle(ctx, editor, IDCANCEL); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectFileBytes(strangerPath, stranger); !v.passed) {
        return Fail("after Export: " + v.reason);
    }
    const std::string listing = FolderListing(folder);
    if (listing != "notes.new, notes.toml") {
        return Fail("after Export the folder holds " + listing);
    }
    return Pass();
}

}  // namespace

std::vector<Scenario> SequenceTextScenarios() {
    return {
        {"sequence_text_export_change_import_run", "en", true, ExportChangeImportRun},
        {"ja_sequence_text_name_round_trip", "ja", true, JapaneseNameThroughText},
        {"sequence_text_export_spares_the_files_beside_it", "en", true,
         ExportSparesTheFilesBesideIt},
    };
}

}  // namespace pavix_e2e
