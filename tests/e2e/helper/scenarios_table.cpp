// The runner of the shared scenario table: each step of tests/e2e/scenarios/shared.txt done the
// Windows way. The icon's pictures are told apart by the stand-in's digests: the first icon is
// idle, and each other picture is learned when first expected, different from those known. The
// sounds Config.dat names are the program's own, in se\ beside the Pavix.exe under test, which
// the run's sound watcher watches.
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "key_texts.h"
#include "scenario.h"
#include "sound_log.h"
#include "table.h"
#include "table_editors.h"

namespace pavix_e2e {
namespace {

// Pavix waits this long after a key before it shows the hints.
constexpr DWORD kLeastPauseMs = 500;

class TableRun {
  public:
    TableRun(const TableScenario& scenario, const ControlIds& ids, ScenarioContext& ctx)
        : scenario_(scenario),
          ctx_(ctx),
          sounds_(ctx.paths.soundLog),
          editors_(scenario, ids, ctx, &icons_) {}

    Verdict Run() {
        for (const Chord& chord : scenario_.held) {
            if (!ctx_.hotkeys.Take(chord)) {
                return Fail("the helper cannot hold " + Hex(chord.virtualKey) + " itself");
            }
        }
        sounds_.Skip();
        if (Verdict v = WriteFiles(); !v.passed) {
            return v;
        }
        editors_.Remember();
        const std::vector<TableStep>& steps = scenario_.steps;
        for (std::size_t index = 0; index < steps.size(); ++index) {
            const TableStep& step = steps[index];
            const TableStep* next = index + 1 < steps.size() ? &steps[index + 1] : nullptr;
            if (Verdict v = TableEditors::Knows(step.verb) ? editors_.Do(step, next) : Do(step);
                !v.passed) {
                return Fail("line " + std::to_string(step.line) + " (" + step.verb + " " +
                            step.text + "): " + v.reason);
            }
        }
        return Pass();
    }

  private:
    Verdict WriteFiles() {
        if (Writes(scenario_, "Config.dat")) {
            const std::string& exe = ctx_.paths.pavixExe;
            const std::string sounds = exe.substr(0, exe.find_last_of('\\') + 1) + "se";
            if (Verdict v = ctx_.WriteConfig(ConfigWithSounds(scenario_, sounds, '\\'));
                !v.passed) {
                return v;
            }
        }
        return Writes(scenario_, "Sequence.dat")
                   ? ctx_.WriteSequences(SequenceRecords(scenario_, ctx_.MarkerCommand()))
                   : Pass();
    }

    // The text with each {chord} replaced by that chord's label and the placeholders filled in.
    bool Expand(const std::string& text, std::wstring* out) const {
        std::string expanded;
        const bool known = ExpandText(
            text, [this](auto& name, auto* value) { return editors_.Name(name, value); },
            &expanded);
        *out = FromUtf8(expanded);
        return known;
    }

    Verdict Do(const TableStep& step) {
        const std::string& verb = step.verb;
        if (verb == "start") {
            return ctx_.StartPavix();
        }
        if (verb == "icon" && step.words.size() == 1) {
            return Icon(step.words[0]);
        }
        if (verb == "quiet") {
            return ctx_.ExpectTrayCount(icons_);
        }
        if (verb == "runs" && step.words.size() == 1) {
            return ctx_.ExpectRuns(static_cast<std::size_t>(std::atoi(step.words[0].c_str())));
        }
        if (verb == "box") {
            std::wstring text;
            return Expand(step.text, &text) ? ExpectErrorBox(ctx_.pavix.Id(), text)
                                            : Fail("cannot read the chord in the text");
        }
        if (verb == "no-box") {
            return FindMessageBoxes(ctx_.pavix.Id()).empty() ? Pass() : Fail("a box is open");
        }
        if (verb == "exits") {
            return Exits();
        }
        if (verb == "second-start") {
            return SecondStart();
        }
        if (verb == "no-hints") {
            return FindHintWindow(ctx_.pavix.Id()) == nullptr ? Pass()
                                                              : Fail("a hint window remains");
        }
        if (verb == "hints") {
            return Hints(step.text);
        }
        if (verb == "menu" && step.words.size() == 1) {
            return Menu(step.words[0]);
        }
        if (verb == "sounds") {
            return sounds_.Expect(step.words);
        }
        if ((verb == "import" || verb == "import-slowly") &&
            std::count(step.text.begin(), step.text.end(), '|') == 2) {
            return Import(step.text, verb == "import-slowly");
        }
        if (verb == "login-start" && step.words.size() == 1 &&
            (step.words[0] == "on" || step.words[0] == "off")) {
            return LoginStart(step.words[0] == "on");
        }
        std::vector<Chord> chords;
        for (const std::string& word : step.words) {
            Chord chord;
            if (!ParseChord(word, &chord)) {
                return Fail("cannot read the chord \"" + word + "\"");
            }
            chords.push_back(chord);
        }
        if (verb == "press" && !chords.empty()) {
            pressedAt_ = GetTickCount();
            return PressChords(chords) ? Pass() : Fail("SendInput refused the chords");
        }
        if ((verb == "held" || verb == "free") && !chords.empty()) {
            return ExpectChordsFree(chords, verb == "free", "now");
        }
        return Fail("no such step");
    }

    Verdict Icon(const std::string& picture) {
        const std::uint32_t message = icons_ == 0 ? NIM_ADD : NIM_MODIFY;
        TrayRecord record;
        if (Verdict v = ctx_.WaitForTray(icons_, message, &record); !v.passed) {
            return v;
        }
        if (Verdict v = ctx_.CheckIconRecord(record); !v.passed) {
            return v;
        }
        ++icons_;
        if (icons_ == 1 && picture != "idle") {
            return Fail("the first icon is always the idle one");
        }
        const auto known = pictures_.find(picture);
        if (known != pictures_.end()) {
            return known->second == record.digest ? Pass() : Fail("the icon shows another picture");
        }
        for (const auto& [name, digest] : pictures_) {
            if (digest == record.digest) {
                return Fail("the icon shows the " + name + " picture");
            }
        }
        pictures_[picture] = record.digest;
        return Pass();
    }

    Verdict Menu(const std::string& item) {
        const std::map<std::string, UINT> commands = {{"enable", kMenuEnable},
                                                      {"disable", kMenuDisable},
                                                      {"abort", kMenuAbort},
                                                      {"exit", kMenuExit},
                                                      {"configuration", kMenuConfiguration},
                                                      {"edit", kMenuEditSequence},
                                                      {"sheet", kMenuAllSequences},
                                                      {"login", kMenuStartAtLogin}};
        const auto command = commands.find(item);
        if (command == commands.end()) {
            return Fail("no such menu item");
        }
        return PostMenuCommand(ctx_.pavix.Window(), command->second) ? Pass()
                                                                     : Fail("cannot post it");
    }

    // The user's Startup folder: Pavix.lnk starts this Pavix.exe in its folder, or is not there.
    Verdict LoginStart(bool on) {
        char folder[MAX_PATH] = {};
        if (SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) {
            return Fail("Wine has no Startup folder");
        }
        const std::string link = std::string(folder) + "\\Pavix.lnk";
        const DWORD deadline = GetTickCount() + kWaitCapMs;
        while (FileExists(link) != on && GetTickCount() < deadline) {
            Sleep(10);
        }
        if (FileExists(link) != on) {
            return Fail(link + (on ? " is missing" : " is still there"));
        }
        std::string target;
        std::string workingFolder;
        if (on && !ReadShellLink(link, &target, &workingFolder)) {
            return Fail("cannot read " + link);
        }
        const std::string& exe = ctx_.workspace.exe;
        const std::string exeFolder = exe.substr(0, exe.rfind('\\'));
        if (on && (lstrcmpiA(target.c_str(), exe.c_str()) != 0 ||
                   lstrcmpiA(workingFolder.c_str(), exeFolder.c_str()) != 0)) {
            return Fail("the shortcut starts " + target + " in " + workingFolder + ", not " + exe);
        }
        return Pass();
    }

    Verdict Exits() {
        const std::uint32_t window = HandleValue(ctx_.pavix.Window());
        DWORD code = 0;
        if (!ctx_.pavix.WaitForExit(kWaitCapMs, &code)) {
            return Fail("Pavix did not end");
        }
        if (code != 0) {
            return Fail("Pavix ended with exit code " + std::to_string(code) + ", expected 0");
        }
        TrayRecord removed;
        if (Verdict v = ctx_.WaitForTray(icons_, NIM_DELETE, &removed); !v.passed) {
            return v;
        }
        ++icons_;
        if (removed.window != window || removed.uid != kTrayUid) {
            return Fail("NIM_DELETE for hWnd " + Hex(removed.window) + " uID " + Hex(removed.uid) +
                        ", expected hWnd " + Hex(window) + " uID 1");
        }
        return Pass();
    }

    Verdict SecondStart() {
        PavixProcess second;
        if (Verdict v = second.Start(ctx_.workspace.exe, ctx_.paths.workRoot); !v.passed) {
            return v;
        }
        DWORD code = 0;
        if (!second.WaitForExit(kWaitCapMs, &code) || code != 0) {
            return Fail("the second start did not end at once with exit code 0");
        }
        if (!ctx_.pavix.IsRunning()) {
            return Fail("the first instance ended when the second started");
        }
        const std::vector<HWND> windows = FindPavixWindows(0);
        if (windows.size() != 1 || windows.front() != ctx_.pavix.Window()) {
            return Fail("expected only the first instance's window titled \"Pavix\", found " +
                        std::to_string(windows.size()));
        }
        return Pass();
    }

    Verdict Hints(const std::string& text);
    Verdict Import(const std::string& text, bool slowly);

    const TableScenario& scenario_;
    ScenarioContext& ctx_;
    std::size_t icons_ = 0;  // tray requests checked so far
    std::map<std::string, std::uint64_t> pictures_;
    DWORD pressedAt_ = 0;
    SoundLog sounds_;
    TableEditors editors_;
};

// The window never takes the focus, stays on top and out of the taskbar, carries its title for
// assistive technology and lies on the screen.
Verdict CheckHintWindow(HWND hint, bool japanese) {
    const LONG_PTR exStyle = GetWindowLongPtrW(hint, GWL_EXSTYLE);
    const LONG_PTR wanted = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if ((exStyle & wanted) != wanted || (exStyle & WS_EX_APPWINDOW) != 0) {
        return Fail("the hint window's extended style is " +
                    Hex(static_cast<std::uint32_t>(exStyle)));
    }
    if (GetForegroundWindow() == hint || GetActiveWindow() == hint) {
        return Fail("the hint window took the focus");
    }
    const std::wstring title = japanese ? L"Pavix: 次のキー" : L"Pavix: next keys";
    if (TextOf(hint) != title) {
        return Fail("the hint window is titled \"" + Utf8(TextOf(hint)) + "\"");
    }
    RECT rect{};
    GetWindowRect(hint, &rect);
    if (rect.left < 0 || rect.top < 0 || rect.right > GetSystemMetrics(SM_CXSCREEN) ||
        rect.bottom > GetSystemMetrics(SM_CYSCREEN) || rect.right <= rect.left) {
        return Fail("the hint window lies off the screen");
    }
    return Pass();
}

// "chord text ; chord text": the labels' texts in the order the window made them.
bool HintRows(const std::string& text, std::vector<std::wstring>* rows) {
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find(" ; ", begin);
        const std::string row = text.substr(begin, end == std::string::npos ? end : end - begin);
        const std::size_t blank = row.find(' ');
        Chord chord;
        if (blank == std::string::npos || !ParseChord(row.substr(0, blank), &chord)) {
            return false;
        }
        rows->push_back(ChordLabel(chord));
        rows->push_back(FromUtf8(row.substr(blank + 1)));
        if (end == std::string::npos) {
            return true;
        }
        begin = end + 3;
    }
}

// A host path for the host's pavix-seq: Wine's drive Z: is the host's root.
std::string HostPath(std::string path) {
    if (path.size() > 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':') {
        path.erase(0, 2);
    }
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// "ctrl+alt+b" as the text form spells it: "Ctrl+Alt+B".
std::string Spelled(const std::string& chord) {
    std::string spelled = chord;
    for (std::size_t i = 0; i < spelled.size(); ++i) {
        if (i == 0 || spelled[i - 1] == '+') {
            spelled[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(spelled[i])));
        }
    }
    return spelled;
}

// Another program replaces Sequence.dat through the host's `pavix-seq import` (Wine starts a host
// program without a process handle: its result is awaited in the file), in place or into a
// scratch file that this helper then writes over Sequence.dat in two halves a second apart,
// holding it open as a Windows program writing a file does.
Verdict TableRun::Import(const std::string& text, bool slowly) {
    std::istringstream parts(text);
    std::string name, chords, commands;
    std::getline(parts, name, '|');
    std::getline(parts, chords, '|');
    std::getline(parts, commands);
    std::istringstream chordWords(chords), commandWords(commands);
    std::string word, keys;
    while (chordWords >> word) {
        keys += (keys.empty() ? "\"" : ", \"") + Spelled(word) + "\"";
    }
    if (!(commandWords >> word) || word != "mark" || ctx_.paths.seqTool.empty()) {
        return Fail("an imported sequence runs the marker command alone, through --seq-tool");
    }
    const CommandSpec mark = ctx_.MarkerCommand();
    const std::string folder = ctx_.workspace.folder;
    const std::string source = folder + "\\import.toml";
    const std::string data = folder + "\\Sequence.dat";
    const std::string target = slowly ? folder + "\\import.dat" : data;
    name.erase(name.find_last_not_of(' ') + 1);
    const Bytes toml = "[[sequence]]\nname = \"" + name.substr(name.find_first_not_of(' ')) +
                       "\"\nkeys = [" + keys + "]\ncommands = [{ run = '" + mark.path +
                       "', args = '" + mark.parameter + "', dir = '" + mark.directory + "' }]\n";
    Bytes before;
    ReadFileBytes(target, &before);
    std::string command = "\"" + ctx_.paths.seqTool + "\" import \"" + HostPath(source) + "\" \"" +
                          HostPath(target) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!WriteFileBytes(source, toml) ||
        !CreateProcessA(ctx_.paths.seqTool.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return Fail("cannot start " + ctx_.paths.seqTool);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Bytes after;
    if (!WaitUntil([&] { return ReadFileBytes(target, &after) && after != before; })) {
        return Fail("pavix-seq import did not write " + target);
    }
    if (!slowly) {
        return Pass();
    }
    const HANDLE file = CreateFileA(data.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Fail("cannot open Sequence.dat for writing");
    }
    const DWORD half = static_cast<DWORD>(after.size() / 2);
    DWORD written = 0, rest = 0;
    const bool first = WriteFile(file, after.data(), half, &written, nullptr) != FALSE;
    FlushFileBuffers(file);
    Sleep(1000);
    const bool second = WriteFile(file, after.data() + half,
                                  static_cast<DWORD>(after.size()) - half, &rest, nullptr) != FALSE;
    CloseHandle(file);
    return first && second ? Pass() : Fail("cannot write Sequence.dat");
}

Verdict TableRun::Hints(const std::string& text) {
    std::vector<std::wstring> rows;
    if (!HintRows(text, &rows)) {
        return Fail("cannot read the rows");
    }
    HWND hint = nullptr;
    std::vector<std::wstring> seen;
    const bool shown = WaitUntil([&] {
        hint = FindHintWindow(ctx_.pavix.Id());
        seen = hint != nullptr && IsWindowVisible(hint) ? ChildTexts(hint)
                                                        : std::vector<std::wstring>();
        return seen == rows;
    });
    const DWORD after = GetTickCount() - pressedAt_;
    if (!shown) {
        std::string listed;
        for (const std::wstring& label : seen) {
            listed += (listed.empty() ? "\"" : ", \"") + Utf8(label) + "\"";
        }
        return Fail(seen.empty() ? "no hint window appeared" : "the hint window says " + listed);
    }
    if (after < kLeastPauseMs) {
        return Fail("the hints showed " + std::to_string(after) + " ms after the last press");
    }
    return CheckHintWindow(hint, scenario_.group == "ja");
}

}  // namespace

std::vector<Scenario> TableScenarios(const std::string& path) {
    std::vector<TableScenario> table;
    std::string error;
    const auto ids = std::make_shared<ControlIds>();
    if (!ReadTable(path, &table, &error) ||
        !ReadControlIds(DialogsPathBeside(path), ids.get(), &error)) {
        return {
            {"shared_table", "en", false, [error](ScenarioContext&) { return Fail(error); }},
            {"ja_shared_table", "ja", false, [error](ScenarioContext&) { return Fail(error); }}};
    }
    std::vector<Scenario> scenarios;
    for (const TableScenario& scenario : table) {
        if (scenario.skipped.count("windows") != 0) {
            continue;
        }
        scenarios.push_back(
            {scenario.name, scenario.group, true, [scenario, ids](ScenarioContext& ctx) {
                 return TableRun(scenario, *ids, ctx).Run();
             }});
    }
    return scenarios;
}

}  // namespace pavix_e2e
