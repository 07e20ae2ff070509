#include "table_editors.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "key_texts.h"

namespace pavix_e2e {
namespace {

// A record's name length, then nothing: the record is cut short.
const Bytes kCutShort("\x05\x00\x00", 3);

// The dialog's title in the scenario's language.
bool Title(const std::string& name, bool japanese, std::wstring* title) {
    const DialogTitles& titles = japanese ? JapaneseTitles() : EnglishTitles();
    const std::map<std::string, std::wstring> byName = {
        {"ConfigDialog", titles.configuration},
        {"SequenceEditor", titles.sequenceEditor},
        {"HotkeyEditor", titles.hotkeyEditor},
        {"KeyCapture", titles.keyCapture},
        {"CommandEditor", titles.commandEditor},
        {"RecordDialog", japanese ? L"キーの記録" : L"Record Keys"},
        {"SequenceSheet", japanese ? L"すべてのシーケンス" : L"All Sequences"}};
    const auto found = byName.find(name);
    if (found == byName.end()) {
        return false;
    }
    *title = found->second;
    return true;
}

// The hotkey control's word for a chord; its extended-key flag stands for WIN.
WORD HotkeyWord(const Chord& chord) {
    BYTE flags = 0;
    flags |= (chord.modifiers & kControl) != 0 ? HOTKEYF_CONTROL : 0;
    flags |= (chord.modifiers & kAlt) != 0 ? HOTKEYF_ALT : 0;
    flags |= (chord.modifiers & kShift) != 0 ? HOTKEYF_SHIFT : 0;
    flags |= (chord.modifiers & kWin) != 0 ? HOTKEYF_EXT : 0;
    return MAKEWORD(static_cast<BYTE>(chord.virtualKey), flags);
}

// The rest of the step after its first word, as written.
std::string AfterFirstWord(const TableStep& step) {
    const std::size_t blank = step.text.find(' ');
    return blank == std::string::npos ? std::string() : step.text.substr(blank + 1);
}

}  // namespace

bool TableEditors::Knows(const std::string& verb) {
    static const char* const kVerbs[] = {"dialog",    "closed",  "click",      "set",    "shows",
                                         "select",    "rows",    "capture",    "choose", "type",
                                         "focus",     "showing", "clipboard",  "damage", "saved",
                                         "unchanged", "backup",  "file-dialog"};
    return std::any_of(std::begin(kVerbs), std::end(kVerbs),
                       [&](const char* known) { return verb == known; });
}

void TableEditors::Remember() {
    for (const char* file : {"Config.dat", "Sequence.dat"}) {
        Bytes bytes;
        if (ReadFileBytes(Path(file), &bytes)) {
            started_.emplace_back(file, bytes);
        }
    }
}

bool TableEditors::Name(const std::string& name, std::string* value) const {
    Chord chord;
    if (ParseChord(name, &chord)) {
        *value = Utf8(ChordLabel(chord));
    } else if (name == "mark") {
        *value = ctx_.paths.markExe;
    } else if (name == "marker") {
        *value = ctx_.workspace.marker;
    } else if (name == "run-folder") {
        *value = ctx_.workspace.runFolder;
    } else if (name.rfind("file:", 0) == 0) {
        *value = Path(name.substr(5));
    } else {
        return false;
    }
    return true;
}

std::string TableEditors::Path(const std::string& file) const {
    return ctx_.workspace.folder + "\\" + file;
}

Verdict TableEditors::Do(const TableStep& step, const TableStep* next) {
    const std::string& verb = step.verb;
    if (verb == "closed" || verb == "file-dialog") {
        HWND chooser = nullptr;
        return !step.words.empty() ? Fail("the step takes nothing")
               : verb == "closed"  ? Closed()
                                   : FindFileDialog(&chooser);
    }
    if (step.words.empty()) {
        return Fail("the step names nothing");
    }
    if (verb == "click") {
        return Click(step.words[0], next);
    }
    if (verb == "set" || verb == "shows" || verb == "select" || verb == "rows") {
        return ControlStep(step);
    }
    if (verb == "damage" || verb == "saved" || verb == "unchanged" || verb == "backup") {
        return FileStep(step);
    }
    const std::string& word = step.words[0];
    if (verb == "dialog") {
        return OpenDialog(word);
    }
    if (verb == "capture") {
        return Capture(word);
    }
    if (verb == "type") {
        return Type(step.words);
    }
    if (verb == "focus") {
        return Focus(word);
    }
    if (verb == "clipboard") {
        return Clipboard(step.text);
    }
    if (verb == "showing" && step.words.size() == 2) {
        return Showing(word, std::atoi(step.words[1].c_str()));
    }
    return verb == "choose" ? Choose(word) : Fail("no such step");
}

// set, shows, select and rows: a control of the current dialog and a text.
Verdict TableEditors::ControlStep(const TableStep& step) {
    int id = 0;
    if (Verdict v = Control(step.words[0], &id); !v.passed) {
        return v;
    }
    const Dialog& dialog = dialogs_.back();
    std::string text;
    if (!ExpandText(
            AfterFirstWord(step), [this](auto& n, auto* v) { return Name(n, v); }, &text)) {
        return Fail("cannot read a placeholder");
    }
    if (step.verb == "set") {
        return dialog.SetText(id, FromUtf8(text)) ? Pass() : Fail("cannot type into the control");
    }
    if (step.verb == "shows") {
        return dialog.ExpectText(id, FromUtf8(text));
    }
    const int row = std::atoi(text.c_str());
    if (step.verb == "select") {
        return dialog.SelectListRow(id, row) ? Pass() : Fail("cannot select the row");
    }
    return WaitUntil([&] { return dialog.ListCount(id) == row; })
               ? Pass()
               : Fail("the list has " + std::to_string(dialog.ListCount(id)) + " rows");
}

Verdict TableEditors::FileStep(const TableStep& step) {
    const std::string& file = step.words[0];
    if (step.verb == "damage") {
        return Damage(file);
    }
    if (step.verb == "saved") {
        return Saved(step);
    }
    if (step.verb == "backup") {
        return Backup(file);
    }
    for (const auto& [written, bytes] : started_) {
        if (written == file) {
            return ExpectFileBytes(Path(file), bytes);
        }
    }
    return FileExists(Path(file)) ? Fail(file + " was written") : Pass();
}

Verdict TableEditors::OpenDialog(const std::string& name) {
    std::wstring title;
    if (!Title(name, scenario_.group == "ja", &title)) {
        return Fail("no dialog is named " + name);
    }
    dialogs_.emplace_back();
    names_.push_back(name);
    return dialogs_.back().WaitForOpen(ctx_.pavix.Handle(), ctx_.pavix.Id(), title);
}

// Once the last editor has closed, Pavix enables its engine again and says so at the icon; the
// sheet of all sequences shows beside the running engine and leaves it alone.
Verdict TableEditors::Closed() {
    if (dialogs_.empty()) {
        return Fail("no dialog is current");
    }
    const HWND window = dialogs_.back().Window();
    const std::string name = dialogs_.back().Name();
    const bool beside = names_.back() == "SequenceSheet";
    dialogs_.pop_back();
    names_.pop_back();
    if (!WaitUntil([&] { return !IsWindow(window); })) {
        return Fail(name + " stayed open");
    }
    if (!dialogs_.empty()) {
        return dialogs_.back().Settle() ? Pass() : Fail(dialogs_.back().Name() + " hangs");
    }
    if (beside) {
        return Pass();
    }
    TrayRecord record;
    if (Verdict v = ctx_.WaitForTray(*icons_, NIM_MODIFY, &record); !v.passed) {
        return Fail("after the editor closed: " + v.reason);
    }
    ++*icons_;
    return ctx_.CheckIconRecord(record);
}

Verdict TableEditors::Control(const std::string& name, int* id) const {
    if (dialogs_.empty()) {
        return Fail("no dialog is current");
    }
    const auto found = ids_.find(name);
    *id = name == "IDOK"        ? IDOK
          : name == "IDCANCEL"  ? IDCANCEL
          : found != ids_.end() ? found->second
                                : 0;
    if (*id == 0) {
        return Fail("resources/dialogs.tsv names no control " + name);
    }
    return dialogs_.back().Item(*id) != nullptr ? Pass()
                                                : Fail(dialogs_.back().Name() + " has no " + name);
}

// A click whose handler opens or closes a window is posted, since Pavix answers nothing sent to it
// until that window is gone; any other click returns once its handler has run.
Verdict TableEditors::Click(const std::string& name, const TableStep* next) {
    int id = 0;
    if (Verdict v = Control(name, &id); !v.passed) {
        return v;
    }
    const bool opens = next != nullptr &&
                       (next->verb == "dialog" || next->verb == "choose" || next->verb == "box" ||
                        next->verb == "closed" || next->verb == "file-dialog");
    return opens ? dialogs_.back().ClickToOpen(id) : dialogs_.back().Click(id);
}

Verdict TableEditors::Capture(const std::string& text) {
    Chord chord;
    if (!ParseChord(text, &chord)) {
        return Fail("cannot read the chord");
    }
    int id = 0;
    if (Verdict v = Control("KeyCapture.HotkeyControl", &id); !v.passed) {
        return v;
    }
    return dialogs_.back().SetHotkey(id, HotkeyWord(chord)) ? Pass()
                                                            : Fail("cannot set the hotkey control");
}

// Keys reach the dialog that has the keyboard, as a user's typing does.
Verdict TableEditors::Type(const std::vector<std::string>& words) {
    std::vector<Chord> chords;
    for (const std::string& word : words) {
        Chord chord;
        if (!ParseChord(word, &chord)) {
            return Fail("cannot read the chord \"" + word + "\"");
        }
        chords.push_back(chord);
    }
    if (dialogs_.empty()) {
        return Fail("no dialog is current");
    }
    const Dialog& dialog = dialogs_.back();
    if (!WaitUntil([&] {
            return GetForegroundWindow() == dialog.Window() && dialog.Focus() != nullptr &&
                   IsChild(dialog.Window(), dialog.Focus());
        })) {
        return Fail(dialog.Name() + " does not have the keyboard");
    }
    return PressChords(chords) ? Pass() : Fail("SendInput refused the chords");
}

Verdict TableEditors::Focus(const std::string& name) {
    int id = 0;
    if (Verdict v = Control(name, &id); !v.passed) {
        return v;
    }
    const Dialog& dialog = dialogs_.back();
    SendMessageW(dialog.Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.Item(id)), TRUE);
    return WaitUntil([&] { return dialog.Focus() == dialog.Item(id); })
               ? Pass()
               : Fail(name + " does not take the focus");
}

// The clipboard holds the text with the platform's line ends; then it is emptied, so that the
// next check sees only what comes after.
Verdict TableEditors::Clipboard(const std::string& text) {
    std::string expanded;
    if (!ExpandText(
            text, [this](auto& n, auto* v) { return Name(n, v); }, &expanded)) {
        return Fail("cannot read a placeholder");
    }
    std::wstring expected;
    for (wchar_t c : FromUtf8(expanded)) {
        expected += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    }
    std::wstring copied;
    const bool holds = WaitUntil([&] {
        if (!OpenClipboard(nullptr)) {
            return false;
        }
        copied.clear();
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                copied = chars;
                GlobalUnlock(data);
            }
        }
        const bool same = copied == expected && EmptyClipboard() != FALSE;
        CloseClipboard();
        return same;
    });
    return holds ? Pass() : Fail("the clipboard holds \"" + Utf8(copied) + "\"");
}

Verdict TableEditors::Showing(const std::string& name, int count) {
    std::wstring title;
    if (!Title(name, scenario_.group == "ja", &title)) {
        return Fail("no dialog is named " + name);
    }
    int shown = 0;
    for (HWND window : FindDialogs(ctx_.pavix.Id())) {
        shown += IsWindowVisible(window) && WindowTitle(window) == title ? 1 : 0;
    }
    return shown == count ? Pass() : Fail(std::to_string(shown) + " of them show");
}

// The file dialog is the process's dialog that is none of the scenario's.
Verdict TableEditors::FindFileDialog(HWND* chooser) const {
    if (dialogs_.empty()) {
        return Fail("no dialog is current");
    }
    WaitUntil([&] {
        for (HWND window : FindDialogs(ctx_.pavix.Id())) {
            const bool ours = std::any_of(dialogs_.begin(), dialogs_.end(),
                                          [&](const Dialog& d) { return d.Window() == window; });
            *chooser = !ours && IsWindowVisible(window) ? window : *chooser;
        }
        return *chooser != nullptr;
    });
    return *chooser != nullptr ? Pass() : Fail("no file dialog showed");
}

Verdict TableEditors::Choose(const std::string& file) {
    HWND chooser = nullptr;
    if (Verdict v = FindFileDialog(&chooser); !v.passed) {
        return v;
    }
    Dialog files;
    if (Verdict v = files.WaitForOpen(ctx_.pavix.Handle(), ctx_.pavix.Id(), WindowTitle(chooser));
        !v.passed) {
        return v;
    }
    if (!files.SetText(kFileDialogName, FromAnsi(Path(file)))) {
        return Fail("cannot type the file name into " + files.Name());
    }
    if (Verdict v = files.ClickToClose(IDOK); !v.passed) {
        return v;
    }
    return dialogs_.back().Settle() ? Pass() : Fail(dialogs_.back().Name() + " hangs");
}

Verdict TableEditors::Damage(const std::string& file) {
    Bytes bytes;
    if (!ReadFileBytes(Path(file), &bytes)) {
        return Fail("cannot read " + file);
    }
    damaged_.emplace_back(file, bytes);
    return WriteFileBytes(Path(file), bytes + kCutShort) ? Pass() : Fail("cannot write " + file);
}

Verdict TableEditors::Saved(const TableStep& step) {
    if (step.words[0] == "sequences" && step.words.size() == 1) {
        return ExpectSoon("Sequence.dat",
                          SequenceFileBytes(SequenceRecords(scenario_, ctx_.MarkerCommand())));
    }
    ConfigSpec config = QuietConfig();
    config.timeout = 5000;
    if (step.words[0] != "config" ||
        !ParseConfig({step.words.begin() + 1, step.words.end()}, &config)) {
        return Fail("cannot read what is to be saved");
    }
    for (std::size_t event = 0; event < 6; ++event) {
        config.sounds[event] = Path(kDefaultSoundFiles[event]);
    }
    return ExpectSoon("Config.dat", ConfigFileBytes(config));
}

Verdict TableEditors::Backup(const std::string& file) const {
    for (const auto& [damaged, bytes] : damaged_) {
        if (damaged != file) {
            continue;
        }
        if (Verdict v = ExpectSoon(file + ".bak", bytes + kCutShort); !v.passed) {
            return v;
        }
        return ExpectSoon(file, bytes);
    }
    return Fail("no \"damage " + file + "\" came before");
}

Verdict TableEditors::ExpectSoon(const std::string& file, const Bytes& expected) const {
    WaitUntil([&] {
        Bytes bytes;
        return ReadFileBytes(Path(file), &bytes) && bytes == expected;
    });
    return ExpectFileBytes(Path(file), expected);
}

}  // namespace pavix_e2e
