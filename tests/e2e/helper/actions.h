// Small reusable actions on the real Pavix process and its surroundings: start and end it, press
// chords as hardware input, find, read and dismiss its message boxes, post it menu commands, hold
// chords as our own hotkeys, and watch the files that its commands write. Every wait is a bounded
// poll, so a broken build fails fast instead of hanging.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data_files.h"
#include "resources/ids.h"
#include "verdict.h"

namespace pavix_e2e {

// Cap of every wait for something that should happen soon.
constexpr DWORD kWaitCapMs = 10000;
constexpr DWORD kPollIntervalMs = 5;

// Menu command ids of the tray menu, posted to the main window as WM_COMMAND.
constexpr UINT kMenuExit = pavix::ids::kCommandExit;
constexpr UINT kMenuConfiguration = pavix::ids::kCommandConfiguration;
constexpr UINT kMenuEnable = pavix::ids::kCommandEnable;
constexpr UINT kMenuDisable = pavix::ids::kCommandDisable;
constexpr UINT kMenuAbort = pavix::ids::kCommandAbort;
constexpr UINT kMenuEditSequence = pavix::ids::kCommandEditSequence;
constexpr UINT kMenuShowHints = pavix::ids::kCommandShowHints;
constexpr UINT kMenuAllSequences = pavix::ids::kCommandAllSequences;
constexpr UINT kMenuStartAtLogin = pavix::ids::kCommandStartAtLogin;

constexpr wchar_t kErrorCaption[] = L"Pavix:Error";
constexpr DWORD kErrorHotkeyAlreadyRegistered = 1409;

// Polls done() until it holds or capMs has passed; returns its last value.
template <typename Predicate>
bool WaitUntil(Predicate done, DWORD capMs = kWaitCapMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) {
            return true;
        }
        if (GetTickCount() - start >= capMs) {
            return done();
        }
        Sleep(kPollIntervalMs);
    }
}

// Text for reasons: UTF-8, so that Japanese texts print as they are.
std::string Utf8(const std::wstring& text);
std::string Hex(std::uint32_t value);

// Presses the chords one after another in a single SendInput call: for each, the modifiers
// (Control, Alt, Shift, Win), the key, then the releases in reverse order.
bool PressChords(const std::vector<Chord>& chords);

// Tries to register the chord as a hotkey of this thread and releases it at once. Returns 0 when
// the chord was free, otherwise the error that RegisterHotKey reported.
DWORD ProbeChord(const Chord& chord);

// Checks that each chord is free (Pavix holds none) or held by someone else (Pavix holds all).
Verdict ExpectChordsFree(const std::vector<Chord>& chords, bool free, const std::string& when);

// Hotkeys that this thread holds for the length of a scenario, to take chords away from Pavix.
class HotkeyHold {
  public:
    HotkeyHold() = default;
    HotkeyHold(const HotkeyHold&) = delete;
    HotkeyHold& operator=(const HotkeyHold&) = delete;
    ~HotkeyHold();

    bool Take(const Chord& chord);
    void ReleaseAll();

  private:
    std::vector<int> ids_;
    int nextId_ = 0x5000;
};

struct BoxText {
    std::wstring caption;
    std::wstring text;
    bool hasOwner = false;  // owned by some window
    bool hasIcon = false;   // shows an icon (which one cannot be read from another process)
    bool okOnly = false;    // OK is its only button
};

// A message box: a #32770 window with the text (0xFFFF) and icon (1088) controls of the
// system's message box template.
bool IsMessageBox(HWND window);
// Visible top-level message boxes of the process.
std::vector<HWND> FindMessageBoxes(DWORD processId);
bool ReadMessageBox(HWND box, BoxText* out);
// Clicks OK and waits until the box is gone.
bool DismissMessageBox(HWND box);
// Waits for one message box of the process, reads it and dismisses it.
Verdict ReadAndDismiss(DWORD processId, BoxText* out);
// As ReadAndDismiss, then checks that it is Pavix's error box: the caption "Pavix:Error", the
// exact text, no owner window, an icon and OK as the only button.
Verdict ExpectErrorBox(DWORD processId, const std::wstring& expectedText);
// The form part of that check, for boxes whose text is checked otherwise.
Verdict CheckErrorBoxForm(const BoxText& box);

// The visible popup menu window (#32768) of the process, or null.
HWND FindPopupMenu(DWORD processId);

// Pavix's hint window (class "PavixHints") of the process, shown or not; null while there is none.
HWND FindHintWindow(DWORD processId);
// The texts of a window's child windows, in the order they were made in.
std::vector<std::wstring> ChildTexts(HWND window);
// The window's own text, as assistive technology reads it.
std::wstring TextOf(HWND window);

bool PostMenuCommand(HWND window, UINT commandId);
// Posts the registered "TaskbarCreated" message to the target (HWND_BROADCAST for every
// top-level window of this desktop).
bool PostTaskbarCreated(HWND target);

// Top-level windows of the process (of every process when processId is 0), in one snapshot.
std::vector<HWND> TopLevelWindows(DWORD processId);

// Windows titled "Pavix" that are not message boxes, of any process when processId is 0.
std::vector<HWND> FindPavixWindows(DWORD processId);
std::uint32_t HandleValue(HWND window);

// The real program, started as a child of this helper.
class PavixProcess {
  public:
    PavixProcess() = default;
    PavixProcess(const PavixProcess&) = delete;
    PavixProcess& operator=(const PavixProcess&) = delete;
    ~PavixProcess();

    // Starts exePath with currentDir as its working directory.
    Verdict Start(const std::string& exePath, const std::string& currentDir);
    // Waits for the main window titled "Pavix" of this process.
    Verdict WaitForWindow();
    bool IsRunning() const;
    // Waits for the process to end by itself; false when the cap passes first.
    bool WaitForExit(DWORD capMs, DWORD* exitCode);
    // Ends the process the way a user does (menu Exit) and checks that it ends cleanly with
    // exit code 0 and that no message box or dialog was left open. Any box still open is read,
    // reported and dismissed, any dialog reported and cancelled; a process that does not end is
    // terminated and reported.
    Verdict End();

    DWORD Id() const { return processId_; }
    HANDLE Handle() const { return process_; }
    HWND Window() const { return window_; }

  private:
    void Close();

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

// Files.
bool WriteFileBytes(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);
// The program a shortcut starts and its working folder, read through the shell's link object.
bool ReadShellLink(const std::string& link, std::string* target, std::string* folder);
// The names of the files and folders in `folder`, sorted and separated by ", ".
std::string FolderListing(const std::string& folder);
bool ReadFileBytes(const std::string& path, Bytes* bytes);
// Checks that the file holds exactly these bytes; names the first offset that differs.
Verdict ExpectFileBytes(const std::string& path, const Bytes& expected);
std::vector<std::string> ReadLines(const std::string& path);
// Waits until the file holds at least count lines.
bool WaitForLines(const std::string& path, std::size_t count);
// Waits until no process started by parentId is still running (the commands it launched).
bool WaitForChildren(DWORD parentId);

}  // namespace pavix_e2e
