// The Windows side of `make bench-wine`: runs the real Pavix.exe and the minimal reference program
// under Wine and times them from outside, as a user's system would see them.
//
//   pavix_bench_wine.exe --pavix <Pavix.exe> --minimal <minimal.exe> --signal <signal.exe>
//                        --work <folder> --out <file> --sync <folder>
//                        [--variant <name>=<exe>]... [--runs N] [--presses N] [--launches N]
//                        [--phases calls,startup,latency,idle]
//
// It stands in for the shell's notification area (a topmost "Shell_TrayWnd" with a
// "TrayNotifyWnd" child, which Shell_NotifyIcon in another process reaches by WM_COPYDATA), so that
// every icon request of the programs under test arrives here with the moment it arrived. It
// presses chords as hardware input with SendInput from this same thread, so a press and its
// outcome are timed on one clock (QueryPerformanceCounter) without another thread in between.
//
// A variant is the minimal program built another way (in icon mode, like the minimal program);
// it is started and measured beside it in the start-up and idle phases.
//
// Phases:
//   calls    the wineserver requests that Pavix's handling of a press adds (SetTimer on a first
//            key, KillTimer on a completion) and that start-up repeats per chord
//            (RegisterHotKey), timed one by one in this process, for scale.
//   startup  CreateProcess to the icon's NIM_ADD (sent after every hotkey is registered), for the
//            minimal program, each variant and Pavix with 10 and with 1,000 sequences, one of each
//            per round.
//   latency  SendInput of a chord to what it causes: the minimal program's posted message (press
//            to WM_HOTKEY), its icon change (pressed twice in a row), Pavix's icon change for a
//            first key and for a completion, and (in `launches` of the rounds, spread evenly) the
//            launch of an external command (the command's own message, and the icon change
//            after it), with all four programs running and pressed in turn. A press that follows
//            another program's press is compared with one that does too, a press that follows
//            the same program's press with one that does too: Pavix's first key with the
//            minimal program's first icon press, its completion with the second.
//   idle     the minimal program, each variant and Pavix with 1,000 sequences started and left
//            alone until the script has read their memory and CPU time; then Pavix with 10
//            sequences in its place, for its memory. For each round the driver writes
//            <sync>\idle-<round>.ready ("<name>\t<executable>" lines) and waits for the
//            script's <sync>\idle-<round>.done.
//
// Every figure is a line "sample <name> <milliseconds>" in the output file; facts about the data
// are "info <name> <value>". Failures are reported on standard error with exit code 1; every wait
// is capped, so a broken build fails instead of hanging.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data_files.h"

namespace {

using pavix_e2e::Bytes;
using pavix_e2e::Chord;
using pavix_e2e::ConfigSpec;
using pavix_e2e::CtrlAlt;
using pavix_e2e::SequenceSpec;

constexpr UINT kEffectMessage = WM_APP + 2;  // from the minimal program in post mode
constexpr UINT kSignalMessage = WM_APP + 3;  // from the external command
constexpr UINT kExitCommand = 40001;         // menu Exit of Pavix, and of the minimal program
constexpr DWORD kErrorHotkeyAlreadyRegistered = 1409;
constexpr DWORD kWaitCapMs = 10000;
constexpr DWORD kIdleCapMs = 300000;
constexpr DWORD kIdlePollMs = 500;  // rare, so that the driver stays as quiet as the programs
constexpr DWORD kSettleAfterExitMs = 200;
constexpr DWORD kSettleBetweenPressesMs = 20;
constexpr DWORD kSettleAfterLaunchMs = 150;
constexpr int kWarmUpRounds = 5;
constexpr int kCallRepetitions = 2000;
constexpr char kDriverClass[] = "PavixBenchDriver";
constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
constexpr wchar_t kNotifyClass[] = L"TrayNotifyWnd";

// The chords. Pavix's measured sequences start with the most popular first chord of the data
// (Control+Alt+E, a quarter of all sequences start with it, so its first press steps every
// sequence); their second chords, and the minimal programs' chords, are function keys that the
// generated sequences never use.
constexpr Chord kFirstChord = CtrlAlt('E');
constexpr Chord kCompleteChord = CtrlAlt(VK_F5);
constexpr Chord kLaunchChord = CtrlAlt(VK_F6);
constexpr Chord kMinimalPostChord = CtrlAlt(VK_F7);
constexpr Chord kMinimalIconChord = CtrlAlt(VK_F8);
constexpr Chord kMinimalLaunchChord = CtrlAlt(VK_F9);
// The variants' chords, one each, so that they can run side by side.
constexpr Chord kVariantChords[] = {CtrlAlt(VK_F10), CtrlAlt(VK_F11), CtrlAlt(VK_F4)};
constexpr std::size_t kSequenceCounts[] = {10, 1000};

// ---------------------------------------------------------------------------------------------
// Arguments and output

struct Variant {
    std::string name;
    std::string exe;
};

struct Options {
    std::string pavixExe;
    std::string minimalExe;
    std::string signalExe;
    std::string work;
    std::string out;
    std::string sync;
    std::vector<Variant> variants;
    int runs = 30;
    int presses = 2000;
    int launches = 50;  // a launch starts a process: fewer of them, spread over the rounds
    std::string phases = "calls,startup,latency,idle";
};

FILE* output = nullptr;
// The programs under test that are running, so that a failure ends them before it ends the run.
std::vector<HANDLE> runningProcesses;

void Fail(const std::string& reason) {
    std::fprintf(stderr, "pavix_bench_wine: %s\n", reason.c_str());
    std::fflush(stderr);
    for (HANDLE process : runningProcesses) {
        TerminateProcess(process, 1);
    }
    std::exit(1);
}

void Sample(const std::string& name, double milliseconds) {
    std::fprintf(output, "sample %s %.4f\n", name.c_str(), milliseconds);
    std::fflush(output);
}

void Info(const std::string& name, const std::string& value) {
    std::fprintf(output, "info %s %s\n", name.c_str(), value.c_str());
    std::fflush(output);
}

bool ParseOptions(int count, char** values, Options* options) {
    for (int i = 1; i + 1 < count; i += 2) {
        const std::string name = values[i];
        const std::string value = values[i + 1];
        if (name == "--pavix") {
            options->pavixExe = value;
        } else if (name == "--minimal") {
            options->minimalExe = value;
        } else if (name == "--signal") {
            options->signalExe = value;
        } else if (name == "--work") {
            options->work = value;
        } else if (name == "--out") {
            options->out = value;
        } else if (name == "--sync") {
            options->sync = value;
        } else if (name == "--runs") {
            options->runs = std::atoi(value.c_str());
        } else if (name == "--presses") {
            options->presses = std::atoi(value.c_str());
        } else if (name == "--launches") {
            options->launches = std::atoi(value.c_str());
        } else if (name == "--phases") {
            options->phases = value;
        } else if (name == "--variant") {
            const std::size_t equals = value.find('=');
            if (equals == std::string::npos || equals == 0 ||
                options->variants.size() == std::size(kVariantChords)) {
                return false;
            }
            options->variants.push_back({value.substr(0, equals), value.substr(equals + 1)});
        } else {
            return false;
        }
    }
    return count % 2 == 1 && !options->pavixExe.empty() && !options->minimalExe.empty() &&
           !options->signalExe.empty() && !options->work.empty() && !options->out.empty() &&
           !options->sync.empty() && options->runs > 0 && options->presses > 0 &&
           options->launches > 0 && options->launches <= options->presses;
}

// ---------------------------------------------------------------------------------------------
// Clock

LONGLONG Now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Milliseconds(LONGLONG from, LONGLONG to) {
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    return static_cast<double>(to - from) * 1000.0 / frequency;
}

// ---------------------------------------------------------------------------------------------
// What arrives: icon requests at the stand-in, messages at the driver's window

enum class EventKind { kTrayAdd, kTrayModify, kTrayDelete, kEffect, kSignal };

struct Event {
    EventKind kind;
    HWND window;  // the window the icon request names; null for posted messages
    LONGLONG ticks;
};

std::vector<Event> events;

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const LONGLONG ticks = Now();
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data != nullptr && data->cbData >= sizeof(std::uint32_t)) {
            std::uint32_t handle = 0;
            CopyMemory(&handle, data->lpData, sizeof(handle));
            const auto target = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
            switch (data->dwData) {
                case NIM_ADD:
                    events.push_back({EventKind::kTrayAdd, target, ticks});
                    break;
                case NIM_MODIFY:
                    events.push_back({EventKind::kTrayModify, target, ticks});
                    break;
                case NIM_DELETE:
                    events.push_back({EventKind::kTrayDelete, target, ticks});
                    break;
                default:
                    break;
            }
        }
        return TRUE;  // the caller's Shell_NotifyIcon fails unless the notification area says yes
    }
    if (message == WM_SYSCOMMAND) {
        return 0;  // a broadcast screen-saver request must not start anything here
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK DriverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kEffectMessage || message == kSignalMessage) {
        events.push_back(
            {message == kEffectMessage ? EventKind::kEffect : EventKind::kSignal, nullptr, Now()});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND driverWindow = nullptr;

bool CreateWindows() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW tray{};
    tray.cbSize = sizeof(tray);
    tray.lpszClassName = kTrayClass;
    tray.hInstance = instance;
    tray.lpfnWndProc = TrayProc;
    WNDCLASSEXW notify = tray;
    notify.lpszClassName = kNotifyClass;
    notify.lpfnWndProc = DefWindowProcW;
    WNDCLASSEXA driver{};
    driver.cbSize = sizeof(driver);
    driver.lpszClassName = kDriverClass;
    driver.hInstance = instance;
    driver.lpfnWndProc = DriverProc;
    if (RegisterClassExW(&tray) == 0 || RegisterClassExW(&notify) == 0 ||
        RegisterClassExA(&driver) == 0) {
        return false;
    }
    HWND trayWindow = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP,
                                      0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (trayWindow == nullptr ||
        CreateWindowExW(0, kNotifyClass, L"", WS_CHILD, 0, 0, 0, 0, trayWindow, nullptr, instance,
                        nullptr) == nullptr) {
        return false;
    }
    // Ahead of the "Shell_TrayWnd" of Wine's own desktop process, which has no notification area.
    SetWindowPos(trayWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A plain top-level window (not message-only), so that the external command finds it.
    driverWindow = CreateWindowExA(0, kDriverClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   instance, nullptr);
    return driverWindow != nullptr;
}

// Handles whatever arrives (sent messages included) until the handle is signalled or the time
// is up, or with kUntilEvent as soon as something has been recorded; returns true when the
// handle was signalled.
enum class PumpEnd { kTimeOut, kUntilEvent };

bool Pump(DWORD milliseconds, HANDLE handle = nullptr, PumpEnd end = PumpEnd::kTimeOut) {
    const DWORD start = GetTickCount();
    const std::size_t recorded = events.size();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (handle != nullptr && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) {
            return true;
        }
        if (end == PumpEnd::kUntilEvent && events.size() != recorded) {
            return false;
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= milliseconds) {
            return false;
        }
        MsgWaitForMultipleObjectsEx(handle != nullptr ? 1 : 0, &handle, milliseconds - spent,
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

struct Expectation {
    EventKind kind;
    HWND window;
};

// Waits until, for each expectation, an event of its kind (and window, unless null) has arrived
// at or after event number `from`; returns the moments, in the order of the expectations.
std::vector<LONGLONG> WaitForEvents(std::size_t from, const std::vector<Expectation>& expected,
                                    const std::string& what) {
    std::vector<LONGLONG> moments(expected.size(), 0);
    const DWORD start = GetTickCount();
    for (;;) {
        std::size_t found = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            for (std::size_t e = from; e < events.size(); ++e) {
                if (events[e].kind == expected[i].kind &&
                    (expected[i].window == nullptr || events[e].window == expected[i].window)) {
                    moments[i] = events[e].ticks;
                    ++found;
                    break;
                }
            }
        }
        if (found == expected.size()) {
            return moments;
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= kWaitCapMs) {
            Fail("no answer within 10 s: " + what);
        }
        Pump(kWaitCapMs - spent, nullptr, PumpEnd::kUntilEvent);
    }
}

// ---------------------------------------------------------------------------------------------
// Keys

INPUT KeyInput(WORD virtualKey, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, 0));
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    return input;
}

// The chord as one hardware sequence: modifiers down, key down and up, modifiers up in reverse.
// Returns the moment just before SendInput.
LONGLONG Press(const Chord& chord) {
    std::vector<WORD> modifiers;
    if (chord.modifiers & pavix_e2e::kControl) {
        modifiers.push_back(VK_CONTROL);
    }
    if (chord.modifiers & pavix_e2e::kAlt) {
        modifiers.push_back(VK_MENU);
    }
    if (chord.modifiers & pavix_e2e::kShift) {
        modifiers.push_back(VK_SHIFT);
    }
    std::vector<INPUT> inputs;
    for (WORD key : modifiers) {
        inputs.push_back(KeyInput(key, false));
    }
    inputs.push_back(KeyInput(chord.virtualKey, false));
    inputs.push_back(KeyInput(chord.virtualKey, true));
    for (auto key = modifiers.rbegin(); key != modifiers.rend(); ++key) {
        inputs.push_back(KeyInput(*key, true));
    }
    const LONGLONG start = Now();
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) !=
        inputs.size()) {
        Fail("SendInput refused the input");
    }
    return start;
}

// Presses the chord and returns the time from SendInput to each expected event.
std::vector<double> TimedPress(const Chord& chord, const std::vector<Expectation>& expected,
                               const std::string& what) {
    const std::size_t from = events.size();
    const LONGLONG start = Press(chord);
    const std::vector<LONGLONG> moments = WaitForEvents(from, expected, what);
    std::vector<double> times;
    for (LONGLONG moment : moments) {
        times.push_back(Milliseconds(start, moment));
    }
    return times;
}

// 0 when the chord is free, else the error RegisterHotKey gives (1409 when another holds it).
DWORD ProbeChord(const Chord& chord) {
    constexpr int kProbeId = 0x4FFF;
    if (!RegisterHotKey(nullptr, kProbeId, chord.modifiers, chord.virtualKey)) {
        return GetLastError();
    }
    UnregisterHotKey(nullptr, kProbeId);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Data: the benchmark's sequence collections, the way people share chords

// SplitMix64, seeded as the native benchmark seeds it, so that both use the same chords.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t limit) { return static_cast<std::size_t>(Next() % limit); }

  private:
    std::uint64_t state_;
};

Chord MakeChord(std::uint16_t modifiers, char key) {
    return Chord{modifiers, static_cast<std::uint16_t>(static_cast<unsigned char>(key))};
}

// The native benchmark's collection of `count` sequences (bench/bench_data.cpp): eight popular
// Control+Alt first chords, the first taking a quarter of the sequences, then one of 104 second
// and one of 144 third chords; a built-in command and a program with a parameter each. Only the
// first `kept` are returned.
std::vector<SequenceSpec> SharedSequences(std::size_t count, std::size_t kept) {
    constexpr std::uint16_t kCtrlAlt = pavix_e2e::kControl | pavix_e2e::kAlt;
    constexpr char kPopularKeys[] = {'E', 'W', 'M', 'T', 'N', 'B', 'F', 'G'};
    constexpr int kShares[] = {8, 6, 5, 4, 3, 3, 2, 1};
    constexpr std::uint16_t kSecondModifiers[] = {kCtrlAlt, pavix_e2e::kControl | pavix_e2e::kShift,
                                                  pavix_e2e::kAlt, pavix_e2e::kControl};
    constexpr std::uint16_t kThirdModifiers[] = {kCtrlAlt, pavix_e2e::kAlt | pavix_e2e::kShift,
                                                 pavix_e2e::kControl, 0};
    constexpr char kThirdKeys[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    Random random(count);
    std::vector<SequenceSpec> sequences;
    for (std::size_t i = 0; i < kept; ++i) {
        SequenceSpec sequence;
        sequence.name = "Sequence " + std::to_string(i);
        int share = static_cast<int>(random.Below(32));
        std::size_t first = 0;
        while (share >= kShares[first]) {
            share -= kShares[first];
            ++first;
        }
        sequence.keys.push_back(MakeChord(kCtrlAlt, kPopularKeys[first]));
        const std::uint16_t secondModifiers = kSecondModifiers[random.Below(4)];
        sequence.keys.push_back(
            MakeChord(secondModifiers, static_cast<char>('A' + random.Below(26))));
        const std::uint16_t thirdModifiers = kThirdModifiers[random.Below(4)];
        sequence.keys.push_back(MakeChord(thirdModifiers, kThirdKeys[random.Below(36)]));
        sequence.commands.push_back(pavix_e2e::Builtin(
            i % 2 ? pavix_e2e::kBuiltinDoNothing : pavix_e2e::kBuiltinStartScreenSaver));
        sequence.commands.push_back(pavix_e2e::External(
            "C:\\Program Files\\Tools\\tool" + std::to_string(i % 50) + ".exe",
            "--open \"C:\\Users\\me\\Documents\\note " + std::to_string(i) + ".txt\"",
            "C:\\Users\\me"));
        sequences.push_back(std::move(sequence));
    }
    return sequences;
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

struct PavixSetup {
    std::size_t count = 0;
    std::string folder;
    std::string exe;
    Chord lastGeneratedChord;  // the last chord of the last generated sequence, to check Enable
};

// A folder with its own copy of Pavix.exe and its data files beside it: `count` sequences in all,
// the first count - 2 of the shared collection, then the two that the presses complete. Sounds
// are off (empty paths), so that no press spends time on a sound file; the time-out is long
// enough never to end a search during a measurement.
PavixSetup PreparePavix(const Options& options, std::size_t count) {
    PavixSetup setup;
    setup.count = count;
    setup.folder = options.work + "\\pavix-" + std::to_string(count);
    setup.exe = setup.folder + "\\Pavix.exe";
    CreateDirectoryA(setup.folder.c_str(), nullptr);
    if (!CopyFileA(options.pavixExe.c_str(), setup.exe.c_str(), FALSE)) {
        Fail("cannot copy Pavix.exe to " + setup.folder);
    }
    ConfigSpec config;
    config.timeout = 600000;
    std::vector<SequenceSpec> sequences = SharedSequences(count, count - 2);
    setup.lastGeneratedChord = sequences.back().keys.back();
    SequenceSpec complete;
    complete.name = "Bench completion";
    complete.keys = {kFirstChord, kCompleteChord};
    complete.commands = {pavix_e2e::Builtin(pavix_e2e::kBuiltinDoNothing)};
    SequenceSpec launch;
    launch.name = "Bench launch";
    launch.keys = {kFirstChord, kLaunchChord};
    launch.commands = {pavix_e2e::External(options.signalExe, "", options.work)};
    sequences.push_back(std::move(complete));
    sequences.push_back(std::move(launch));

    std::set<std::pair<std::uint16_t, std::uint16_t>> distinct;
    for (const SequenceSpec& sequence : sequences) {
        for (const Chord& chord : sequence.keys) {
            distinct.insert({chord.modifiers, chord.virtualKey});
        }
    }
    const Bytes sequenceBytes = pavix_e2e::SequenceFileBytes(sequences);
    if (!WriteFileBytes(setup.folder + "\\Config.dat", pavix_e2e::ConfigFileBytes(config)) ||
        !WriteFileBytes(setup.folder + "\\Sequence.dat", sequenceBytes)) {
        Fail("cannot write the data files in " + setup.folder);
    }
    const std::string prefix = "pavix-" + std::to_string(count) + ".";
    Info(prefix + "sequences", std::to_string(sequences.size()));
    Info(prefix + "distinct-chords", std::to_string(distinct.size()));
    Info(prefix + "sequence-file-bytes", std::to_string(sequenceBytes.size()));
    return setup;
}

// ---------------------------------------------------------------------------------------------
// Programs under test

class Program {
  public:
    Program(std::string name, std::string commandLine, std::string directory)
        : name_(std::move(name)),
          commandLine_(std::move(commandLine)),
          directory_(std::move(directory)) {}
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (process_.hProcess != nullptr) {
            TerminateProcess(process_.hProcess, 1);
            Forget();
        }
    }

    // Starts the program and waits for its icon; returns the time from CreateProcess to NIM_ADD.
    double Start() {
        const std::size_t from = events.size();
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        std::string commandLine = commandLine_;
        const LONGLONG start = Now();
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            directory_.c_str(), &startup, &process_)) {
            Fail("cannot start " + name_ + " (error " + std::to_string(GetLastError()) + ")");
        }
        runningProcesses.push_back(process_.hProcess);
        const DWORD begun = GetTickCount();
        for (;;) {
            for (std::size_t e = from; e < events.size(); ++e) {
                DWORD owner = 0;
                GetWindowThreadProcessId(events[e].window, &owner);
                if (events[e].kind == EventKind::kTrayAdd && owner == process_.dwProcessId) {
                    window_ = events[e].window;
                    return Milliseconds(start, events[e].ticks);
                }
            }
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) {
                Fail(name_ + " ended before adding its icon");
            }
            const DWORD spent = GetTickCount() - begun;
            if (spent >= kWaitCapMs) {
                Fail(name_ + " added no icon within 10 s");
            }
            Pump(kWaitCapMs - spent, process_.hProcess, PumpEnd::kUntilEvent);
        }
    }

    // Ends the program the way a user does (WM_COMMAND 40001) and checks it ends with code 0.
    void End() {
        PostMessageA(window_, WM_COMMAND, kExitCommand, 0);
        if (!Pump(kWaitCapMs, process_.hProcess)) {
            Fail(name_ + " did not end within 10 s of menu Exit");
        }
        DWORD exitCode = 1;
        GetExitCodeProcess(process_.hProcess, &exitCode);
        Forget();
        if (exitCode != 0) {
            Fail(name_ + " ended with exit code " + std::to_string(exitCode));
        }
    }

    // Fails unless the process shows no window: an error box at start-up would mean that the
    // measured start did not go as a user's does.
    void ExpectNoVisibleWindow() const {
        VisibleWindowSearch search{process_.dwProcessId, false};
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            Fail(name_ + " shows a window after start-up (an error message?)");
        }
    }

    HWND Window() const { return window_; }
    DWORD ProcessId() const { return process_.dwProcessId; }
    const std::string& Name() const { return name_; }

  private:
    struct VisibleWindowSearch {
        DWORD processId;
        bool found;
    };

    static BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lParam) {
        auto* search = reinterpret_cast<VisibleWindowSearch*>(lParam);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == search->processId && IsWindowVisible(window)) {
            search->found = true;
        }
        return TRUE;
    }

    void Forget() {
        runningProcesses.erase(
            std::remove(runningProcesses.begin(), runningProcesses.end(), process_.hProcess),
            runningProcesses.end());
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = PROCESS_INFORMATION{};
        window_ = nullptr;
    }

    std::string name_;
    std::string commandLine_;
    std::string directory_;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string MinimalCommandLine(const Options& options, const char* mode, const Chord& chord,
                               const std::string& extra) {
    std::string line = Quoted(options.minimalExe) + " " + mode + " " +
                       std::to_string(chord.modifiers) + " " + std::to_string(chord.virtualKey);
    return extra.empty() ? line : line + " " + extra;
}

std::string VariantCommandLine(const Variant& variant, const Chord& chord) {
    return Quoted(variant.exe) + " icon " + std::to_string(chord.modifiers) + " " +
           std::to_string(chord.virtualKey);
}

void ExpectHeld(const Chord& chord, const std::string& what) {
    const DWORD error = ProbeChord(chord);
    if (error != kErrorHotkeyAlreadyRegistered) {
        Fail(what + ": the chord is not held (RegisterHotKey gave " + std::to_string(error) + ")");
    }
}

void CheckPavixStarted(const Program& pavix, const PavixSetup& setup) {
    pavix.ExpectNoVisibleWindow();
    ExpectHeld(kFirstChord, pavix.Name());
    ExpectHeld(kLaunchChord, pavix.Name());
    ExpectHeld(setup.lastGeneratedChord, pavix.Name());
}

// ---------------------------------------------------------------------------------------------
// Phases

void MeasureCalls() {
    const Chord chord = kMinimalIconChord;  // free until the programs start
    for (int i = 0; i < kCallRepetitions; ++i) {
        LONGLONG before = Now();
        SetTimer(driverWindow, 1, 600000, nullptr);
        LONGLONG after = Now();
        Sample("call.settimer", Milliseconds(before, after));
        before = Now();
        KillTimer(driverWindow, 1);
        after = Now();
        Sample("call.killtimer", Milliseconds(before, after));
        before = Now();
        const BOOL registered = RegisterHotKey(driverWindow, 1, chord.modifiers, chord.virtualKey);
        after = Now();
        if (!registered) {
            Fail("RegisterHotKey failed in the call timing");
        }
        Sample("call.registerhotkey", Milliseconds(before, after));
        UnregisterHotKey(driverWindow, 1);
    }
}

void MeasureStartup(const Options& options, const std::vector<PavixSetup>& setups) {
    struct Target {
        std::string figure;
        std::string commandLine;
        std::string directory;
        const PavixSetup* setup;
        Chord chord;  // of a minimal program; Pavix's are checked by CheckPavixStarted
    };
    std::vector<Target> targets;
    targets.push_back({"startup.minimal",
                       MinimalCommandLine(options, "icon", kMinimalIconChord, ""), options.work,
                       nullptr, kMinimalIconChord});
    for (std::size_t i = 0; i < options.variants.size(); ++i) {
        targets.push_back({"startup." + options.variants[i].name,
                           VariantCommandLine(options.variants[i], kVariantChords[i]), options.work,
                           nullptr, kVariantChords[i]});
    }
    for (const PavixSetup& setup : setups) {
        targets.push_back({"startup.pavix-" + std::to_string(setup.count), Quoted(setup.exe),
                           options.work, &setup, Chord{}});
    }
    // Round 0 warms the server and the file cache and is not kept.
    for (int round = 0; round <= options.runs; ++round) {
        for (const Target& target : targets) {
            Program program(target.figure, target.commandLine, target.directory);
            const double milliseconds = program.Start();
            if (target.setup != nullptr) {
                CheckPavixStarted(program, *target.setup);
            } else {
                program.ExpectNoVisibleWindow();
                ExpectHeld(target.chord, program.Name());
            }
            program.End();
            if (round > 0) {
                Sample(target.figure, milliseconds);
            }
            Pump(kSettleAfterExitMs);
        }
    }
}

void MeasureLatency(const Options& options, const PavixSetup& setup) {
    const std::string suffix = std::to_string(setup.count);
    char handle[32];
    std::snprintf(handle, sizeof(handle), "%lu",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(driverWindow)));
    Program post("minimal (post)", MinimalCommandLine(options, "post", kMinimalPostChord, handle),
                 options.work);
    Program icon("minimal (icon)", MinimalCommandLine(options, "icon", kMinimalIconChord, ""),
                 options.work);
    Program launch("minimal (launch)",
                   MinimalCommandLine(options, "launch", kMinimalLaunchChord,
                                      Quoted(options.signalExe) + " " + Quoted(options.work)),
                   options.work);
    Program pavix("Pavix with " + suffix + " sequences", Quoted(setup.exe), options.work);
    post.Start();
    icon.Start();
    launch.Start();
    pavix.Start();
    CheckPavixStarted(pavix, setup);

    const HWND pavixWindow = pavix.Window();
    const std::string figure = "press." + suffix + ".";
    // The first rounds warm this driver (its first SendInput costs tens of milliseconds) and the
    // programs' code paths; they are not kept.
    for (int round = 0; round < kWarmUpRounds + options.presses; ++round) {
        const bool keep = round >= kWarmUpRounds;
        auto record = [&](const std::string& name, double milliseconds) {
            if (keep) {
                Sample(figure + name, milliseconds);
            }
        };
        std::vector<double> times =
            TimedPress(kMinimalPostChord, {{EventKind::kEffect, nullptr}}, "minimal post press");
        record("minimal-post", times[0]);
        Pump(kSettleBetweenPressesMs);

        times = TimedPress(kMinimalIconChord, {{EventKind::kTrayModify, icon.Window()}},
                           "minimal icon press");
        record("minimal-icon", times[0]);
        Pump(kSettleBetweenPressesMs);

        times = TimedPress(kMinimalIconChord, {{EventKind::kTrayModify, icon.Window()}},
                           "minimal icon press");
        record("minimal-icon-again", times[0]);
        Pump(kSettleBetweenPressesMs);

        times = TimedPress(kFirstChord, {{EventKind::kTrayModify, pavixWindow}}, "Pavix first key");
        record("pavix-first", times[0]);
        Pump(kSettleBetweenPressesMs);

        times =
            TimedPress(kCompleteChord, {{EventKind::kTrayModify, pavixWindow}}, "Pavix completion");
        record("pavix-complete", times[0]);
        Pump(kSettleBetweenPressesMs);

        // Round r (counted after the warm-up) launches when it reaches the next of `launches`
        // evenly spaced marks.
        const int counted = round - kWarmUpRounds;
        if (keep && (counted * options.launches) / options.presses ==
                        ((counted + 1) * options.launches) / options.presses) {
            continue;
        }
        times =
            TimedPress(kMinimalLaunchChord,
                       {{EventKind::kTrayModify, launch.Window()}, {EventKind::kSignal, nullptr}},
                       "minimal launch press");
        record("minimal-launch-icon", times[0]);
        record("minimal-launch-effect", times[1]);
        Pump(kSettleAfterLaunchMs);

        TimedPress(kFirstChord, {{EventKind::kTrayModify, pavixWindow}}, "Pavix first key");
        Pump(kSettleBetweenPressesMs);
        times = TimedPress(kLaunchChord,
                           {{EventKind::kTrayModify, pavixWindow}, {EventKind::kSignal, nullptr}},
                           "Pavix launch");
        record("pavix-launch-icon", times[0]);
        record("pavix-launch-effect", times[1]);
        Pump(kSettleAfterLaunchMs);
    }
    pavix.ExpectNoVisibleWindow();
    pavix.End();
    launch.End();
    icon.End();
    post.End();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Tells the script which programs to read ("<name>\t<executable>" lines; the executable's path
// starts the command line of the Linux process that runs it) and waits until it has read them.
void HandOverIdle(const Options& options, int round, const std::vector<const Program*>& programs,
                  const std::vector<std::string>& executables) {
    const std::string stem = options.sync + "\\idle-" + std::to_string(round);
    const std::string ready = stem + ".ready";
    const std::string done = stem + ".done";
    std::string listing;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        listing += programs[i]->Name() + "\t" + executables[i] + "\n";
    }
    const std::string partial = ready + ".part";
    if (!WriteFileBytes(partial, Bytes(listing.begin(), listing.end())) ||
        !MoveFileA(partial.c_str(), ready.c_str())) {
        Fail("cannot write " + ready);
    }
    const DWORD start = GetTickCount();
    while (!FileExists(done)) {
        if (GetTickCount() - start >= kIdleCapMs) {
            Fail("the script did not finish the idle measurement within 300 s");
        }
        Pump(kIdlePollMs);
    }
}

void MeasureIdle(const Options& options, const std::vector<PavixSetup>& setups) {
    std::vector<std::unique_ptr<Program>> references;
    std::vector<std::string> executables;
    references.push_back(std::make_unique<Program>(
        "minimal", MinimalCommandLine(options, "icon", kMinimalIconChord, ""), options.work));
    executables.push_back(options.minimalExe);
    for (std::size_t i = 0; i < options.variants.size(); ++i) {
        references.push_back(std::make_unique<Program>(
            options.variants[i].name, VariantCommandLine(options.variants[i], kVariantChords[i]),
            options.work));
        executables.push_back(options.variants[i].exe);
    }
    for (auto& reference : references) {
        reference->Start();
        reference->ExpectNoVisibleWindow();
    }
    // The largest collection first, beside the references; then each smaller one in its place.
    int round = 1;
    for (auto setup = setups.rbegin(); setup != setups.rend(); ++setup, ++round) {
        Program pavix("pavix-" + std::to_string(setup->count), Quoted(setup->exe), options.work);
        pavix.Start();
        CheckPavixStarted(pavix, *setup);
        std::vector<const Program*> programs;
        std::vector<std::string> paths;
        if (round == 1) {
            for (std::size_t i = 0; i < references.size(); ++i) {
                programs.push_back(references[i].get());
                paths.push_back(executables[i]);
            }
        }
        programs.push_back(&pavix);
        paths.push_back(setup->exe);
        HandOverIdle(options, round, programs, paths);
        pavix.ExpectNoVisibleWindow();
        pavix.End();
    }
    for (auto& reference : references) {
        reference->End();
    }
}

int Run(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: pavix_bench_wine.exe --pavix EXE --minimal EXE --signal EXE "
                     "--work DIR --out FILE --sync DIR [--variant NAME=EXE]... [--runs N] "
                     "[--presses N] [--launches N] [--phases calls,startup,latency,idle]\n");
        return 2;
    }
    output = std::fopen(options.out.c_str(), "w");
    if (output == nullptr) {
        Fail("cannot write " + options.out);
    }
    if (!CreateWindows()) {
        Fail("cannot create the notification-area stand-in");
    }
    std::vector<Chord> chords = {kFirstChord,       kCompleteChord,    kLaunchChord,
                                 kMinimalPostChord, kMinimalIconChord, kMinimalLaunchChord};
    chords.insert(chords.end(), std::begin(kVariantChords), std::end(kVariantChords));
    for (const Chord& chord : chords) {
        if (ProbeChord(chord) != 0) {
            Fail("a chord of the benchmark is taken before it starts");
        }
    }
    std::vector<PavixSetup> setups;
    for (std::size_t count : kSequenceCounts) {
        setups.push_back(PreparePavix(options, count));
    }
    const bool all = options.phases.empty();
    auto wanted = [&](const char* phase) {
        return all || options.phases.find(phase) != std::string::npos;
    };
    if (wanted("calls")) {
        MeasureCalls();
    }
    if (wanted("startup")) {
        MeasureStartup(options, setups);
    }
    if (wanted("latency")) {
        for (const PavixSetup& setup : setups) {
            MeasureLatency(options, setup);
        }
    }
    if (wanted("idle")) {
        MeasureIdle(options, setups);
    }
    std::fclose(output);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return Run(argc, argv);
}
