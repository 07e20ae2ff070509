#include "editor_steps.h"

#include "key_texts.h"

namespace pavix_e2e {
namespace {

// A key added without changes is Control+Alt with key code 8.
constexpr Chord kNewKeyChord = {static_cast<std::uint16_t>(kControl | kAlt), 8};

// The hotkey editor's check boxes and the modifier each stands for.
struct ModifierBox {
    int box;
    std::uint16_t modifier;
};
constexpr ModifierBox kModifierBoxes[] = {{kHotkeyControlBox, kControl},
                                          {kHotkeyAltBox, kAlt},
                                          {kHotkeyShiftBox, kShift},
                                          {kHotkeyWinBox, kWin}};

const DialogTitles& Titles(bool japanese) {
    return japanese ? JapaneseTitles() : EnglishTitles();
}

const std::vector<NamedControl>& CommandKindControls() {
    static const std::vector<NamedControl> controls = {
        {kCommandBuiltinList, "built-in list"},
        {kCommandPath, "path"},
        {kCommandBrowse, "Browse"},
        {kCommandParameter, "parameter"},
        {kCommandDirectory, "directory"},
    };
    return controls;
}

// A command editor opened by Add: "Built-in" on, row 0 selected among the sixteen names, the
// external fields empty and disabled.
Verdict ExpectNewCommandEditor(const Dialog& editor, bool japanese) {
    if (Verdict v = editor.ExpectChecked(kCommandBuiltinRadio, true); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectChecked(kCommandExternalRadio, false); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectOnlyEnabled(editor, CommandKindControls(), {kCommandBuiltinList},
                                      "a new command");
        !v.passed) {
        return v;
    }
    for (int id : {kCommandPath, kCommandParameter, kCommandDirectory}) {
        if (Verdict v = editor.ExpectText(id, L""); !v.passed) {
            return v;
        }
    }
    const int count = editor.ComboCount(kCommandBuiltinList);
    if (count != kBuiltinCommandCount) {
        return Fail("the built-in list of " + editor.Name() + " has " + std::to_string(count) +
                    " rows, expected " + std::to_string(kBuiltinCommandCount));
    }
    for (int row = 0; row < kBuiltinCommandCount; ++row) {
        const std::wstring seen = editor.ComboRowText(kCommandBuiltinList, row);
        if (seen != BuiltinName(row, japanese)) {
            return Fail("row " + std::to_string(row) + " of the built-in list reads \"" +
                        Utf8(seen) + "\", expected \"" + Utf8(BuiltinName(row, japanese)) + "\"");
        }
    }
    if (editor.ComboSelection(kCommandBuiltinList) != 0) {
        return Fail("a new command starts on built-in row " +
                    std::to_string(editor.ComboSelection(kCommandBuiltinList)) + ", expected 0");
    }
    return Pass();
}

}  // namespace

const DialogTitles& EnglishTitles() {
    static const DialogTitles titles = {L"Pavix Configuration", L"Sequence Editor",
                                        L"Hotkey Editor", L"Type a Key to input",
                                        L"Command Editor"};
    return titles;
}

const DialogTitles& JapaneseTitles() {
    static const DialogTitles titles = {L"Pavix設定", L"シーケンス編集", L"キー編集",
                                        L"キー直接入力", L"コマンド編集"};
    return titles;
}

const std::vector<NamedControl>& SequenceGroupButtons() {
    static const std::vector<NamedControl> buttons = {
        {kSequenceAdd, "sequence Add"},   {kSequenceDelete, "sequence Delete"},
        {kSequenceCopy, "sequence Copy"}, {kSequenceUp, "sequence Up"},
        {kSequenceDown, "sequence Down"},
    };
    return buttons;
}

const std::vector<NamedControl>& SequenceEditorButtons() {
    static const std::vector<NamedControl> buttons = [] {
        std::vector<NamedControl> all = SequenceGroupButtons();
        all.insert(all.end(), {
                                  {kKeyUp, "key Up"},
                                  {kKeyDown, "key Down"},
                                  {kKeyAdd, "key Add"},
                                  {kKeyEdit, "key Edit"},
                                  {kKeyDelete, "key Delete"},
                                  {kCommandUp, "command Up"},
                                  {kCommandDown, "command Down"},
                                  {kCommandAdd, "command Add"},
                                  {kCommandEdit, "command Edit"},
                                  {kCommandDelete, "command Delete"},
                              });
        return all;
    }();
    return buttons;
}

Verdict CloseAndExpectIdle(ScenarioContext& ctx, const Dialog& editor, int button) {
    if (Verdict v = editor.ClickToClose(button); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.ExpectIcon(kAfterEditor, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after the editor closed: " + v.reason);
    }
    return Pass();
}

Verdict OpenFromMenu(ScenarioContext& ctx, UINT menuCommand, const std::wstring& title,
                     Dialog* dialog) {
    if (!PostMenuCommand(ctx.pavix.Window(), menuCommand)) {
        return Fail("cannot post the menu command " + std::to_string(menuCommand));
    }
    return dialog->WaitForOpen(ctx.pavix.Handle(), ctx.pavix.Id(), title);
}

Verdict OpenNested(ScenarioContext& ctx, const Dialog& owner, int button, const std::wstring& title,
                   Dialog* dialog) {
    if (Verdict v = owner.ClickToOpen(button); !v.passed) {
        return v;
    }
    return dialog->WaitForOpen(ctx.pavix.Handle(), ctx.pavix.Id(), title);
}

Verdict ChooseInFileDialog(ScenarioContext& ctx, const Dialog& owner, int button,
                           const std::wstring& title, const std::string& path) {
    Dialog files;
    if (Verdict v = OpenNested(ctx, owner, button, title, &files); !v.passed) {
        return v;
    }
    if (!files.SetText(kFileDialogName, FromAnsi(path))) {
        return Fail("cannot type the file name into " + files.Name());
    }
    if (Verdict v = files.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    return owner.Settle() ? Pass() : Fail(owner.Name() + " did not answer after " + files.Name());
}

Verdict ExpectHotkeyEditorShows(const Dialog& editor, const Chord& chord) {
    const int count = editor.ComboCount(kHotkeyKeyList);
    if (count != kKeyCount) {
        return Fail("the key list of " + editor.Name() + " has " + std::to_string(count) +
                    " rows, expected " + std::to_string(kKeyCount));
    }
    const int selected = editor.ComboSelection(kHotkeyKeyList);
    if (selected != chord.virtualKey) {
        return Fail("the key list of " + editor.Name() + " has row " + std::to_string(selected) +
                    " selected, expected row " + std::to_string(chord.virtualKey));
    }
    const std::wstring rowText = editor.ComboRowText(kHotkeyKeyList, selected);
    if (rowText != KeyRowText(chord.virtualKey)) {
        return Fail("row " + std::to_string(selected) + " of the key list reads \"" +
                    Utf8(rowText) + "\", expected \"" + Utf8(KeyRowText(chord.virtualKey)) + "\"");
    }
    for (const ModifierBox& box : kModifierBoxes) {
        if (Verdict v = editor.ExpectChecked(box.box, (chord.modifiers & box.modifier) != 0);
            !v.passed) {
            return v;
        }
    }
    return Pass();
}

Verdict PickChord(const Dialog& editor, const Chord& chord) {
    if (!editor.SelectComboRow(kHotkeyKeyList, chord.virtualKey)) {
        return Fail("cannot select row " + std::to_string(chord.virtualKey) +
                    " of the key list of " + editor.Name());
    }
    for (const ModifierBox& box : kModifierBoxes) {
        if (Verdict v = editor.SetCheck(box.box, (chord.modifiers & box.modifier) != 0);
            !v.passed) {
            return v;
        }
    }
    return ExpectHotkeyEditorShows(editor, chord);
}

Verdict AddKey(ScenarioContext& ctx, const Dialog& sequenceEditor, const Chord& chord,
               bool japanese) {
    Dialog editor;
    if (Verdict v =
            OpenNested(ctx, sequenceEditor, kKeyAdd, Titles(japanese).hotkeyEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = ExpectHotkeyEditorShows(editor, kNewKeyChord); !v.passed) {
        return Fail("a new key should start as Control+Alt with key code 8: " + v.reason);
    }
    if (Verdict v = PickChord(editor, chord); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    sequenceEditor.Settle();
    return Pass();
}

Verdict AddBuiltinCommand(ScenarioContext& ctx, const Dialog& sequenceEditor, std::int32_t id,
                          bool japanese) {
    Dialog editor;
    if (Verdict v =
            OpenNested(ctx, sequenceEditor, kCommandAdd, Titles(japanese).commandEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = ExpectNewCommandEditor(editor, japanese); !v.passed) {
        return v;
    }
    if (!editor.SelectComboRow(kCommandBuiltinList, id)) {
        return Fail("cannot select row " + std::to_string(id) + " of the built-in list");
    }
    if (Verdict v = editor.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    sequenceEditor.Settle();
    return Pass();
}

Verdict AddExternalCommand(ScenarioContext& ctx, const Dialog& sequenceEditor,
                           const CommandSpec& command) {
    Dialog editor;
    if (Verdict v =
            OpenNested(ctx, sequenceEditor, kCommandAdd, EnglishTitles().commandEditor, &editor);
        !v.passed) {
        return v;
    }
    if (Verdict v = ExpectNewCommandEditor(editor, false); !v.passed) {
        return v;
    }
    if (Verdict v = editor.Click(kCommandExternalRadio); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ExpectChecked(kCommandBuiltinRadio, false); !v.passed) {
        return Fail("after a click on \"External\": " + v.reason);
    }
    if (Verdict v =
            ExpectOnlyEnabled(editor, CommandKindControls(),
                              {kCommandPath, kCommandBrowse, kCommandParameter, kCommandDirectory},
                              "after a click on \"External\"");
        !v.passed) {
        return v;
    }
    if (!editor.SetText(kCommandPath, FromAnsi(command.path)) ||
        !editor.SetText(kCommandParameter, FromAnsi(command.parameter)) ||
        !editor.SetText(kCommandDirectory, FromAnsi(command.directory))) {
        return Fail("cannot type into the fields of " + editor.Name());
    }
    if (Verdict v = editor.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    sequenceEditor.Settle();
    return Pass();
}

std::vector<std::wstring> KeyRow(const Chord& chord) {
    return {ModifierPrefix(chord.modifiers), KeyName(chord.virtualKey)};
}

std::vector<std::wstring> CommandRow(const CommandSpec& command, bool japanese) {
    return {command.builtin ? BuiltinName(command.id, japanese) : ExternalDescription(command)};
}

std::string ConfigPath(const ScenarioContext& ctx) {
    return ctx.workspace.folder + "\\Config.dat";
}

std::string SequencePath(const ScenarioContext& ctx) {
    return ctx.workspace.folder + "\\Sequence.dat";
}

std::string BackupPath(const std::string& dataPath) {
    return dataPath + ".bak";
}

std::wstring BackupNote(const std::string& dataPath, bool japanese) {
    const std::wstring line = japanese ? L"OKで保存すると元のファイルを次の名前で残します："
                                       : L"Saving with OK keeps the original file as: ";
    return L"\n" + line + FromAnsi(BackupPath(dataPath));
}

}  // namespace pavix_e2e
