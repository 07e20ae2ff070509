// The reference for the Wine measurements: the least a resident hotkey program can be. It
// registers one hotkey, puts one icon in the notification area the way Pavix does, and reacts to
// each press of its hotkey in one of three ways chosen on the command line:
//
//   minimal.exe post   <modifiers> <virtual key> <window>
//       posts kEffectMessage to the given window (decimal handle): press to WM_HOTKEY and no more;
//   minimal.exe icon   <modifiers> <virtual key>
//       swaps its tray picture with NIM_MODIFY, by the same calls Pavix makes for an icon change;
//   minimal.exe launch <modifiers> <virtual key> <program> <directory>
//       starts the program with ShellExecuteA as Pavix starts an external command, then swaps its
//       tray picture as Pavix does when the command has run.
//
// WM_COMMAND 40001 ends it the way Pavix's menu Exit does (the icon is deleted on the way out).
// Exit codes: 0 after a normal end, 2 for bad arguments, 3 when the hotkey or the window cannot
// be had.
//
// Built with PAVIX_BENCH_DLL_SET defined, it also carries what Pavix's platform brings to every
// start, so that the measurements can tell that cost from Pavix's own: 1 = the DLLs Pavix
// imports (ADVAPI32, COMCTL32, COMDLG32, ole32, SHLWAPI, WINMM besides the minimal program's
// four; the build adds the same manifest, which selects version 6 of the common controls) and
// the CoInitialize and InitCommonControlsEx calls of Pavix's start-up; 2 = the same without
// COMDLG32 and WINMM, which only the file dialog and the sounds need.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#ifdef PAVIX_BENCH_DLL_SET
#include <commctrl.h>
#include <objbase.h>
#include <shlwapi.h>
#if PAVIX_BENCH_DLL_SET == 1
#include <commdlg.h>
#include <mmsystem.h>
#endif
#endif

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kEffectMessage = WM_APP + 2;
constexpr UINT kTrayCallbackMessage = WM_APP + 1;
constexpr UINT kExitCommand = 40001;
constexpr UINT kTrayUid = 1;
constexpr WORD kIdleIcon = 110;
constexpr WORD kSeekingIcon = 111;
constexpr int kHotkeyId = 0;
constexpr char kWindowClass[] = "PavixBenchMinimal";

enum class Mode { kPost, kIcon, kLaunch };

struct State {
    Mode mode = Mode::kIcon;
    UINT modifiers = 0;
    UINT virtualKey = 0;
    HWND effectWindow = nullptr;
    const char* program = nullptr;    // points into the command line, which lives as long
    const char* directory = nullptr;  // as the process
    WORD iconId = kIdleIcon;
};

State state;

// The calls of an icon add or change, in Pavix's order: the taskbar and its notification area
// looked up, the small picture loaded from the resources, the shell asked, the picture released.
bool Notify(HWND window, DWORD message) {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (taskbar == nullptr ||
        FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) == nullptr) {
        return false;
    }
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = kTrayUid;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    const int width = GetSystemMetrics(SM_CXSMICON);
    const int height = GetSystemMetrics(SM_CYSMICON);
    data.hIcon = static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(state.iconId), IMAGE_ICON, width, height, 0));
    std::strncpy(data.szTip, "Pavix", sizeof(data.szTip) - 1);
    const bool accepted = Shell_NotifyIconA(message, &data) != FALSE;
    if (data.hIcon != nullptr) {
        DestroyIcon(data.hIcon);
    }
    return accepted;
}

void SwapIcon(HWND window) {
    state.iconId = state.iconId == kIdleIcon ? kSeekingIcon : kIdleIcon;
    Notify(window, NIM_MODIFY);
}

void OnHotkey(HWND window) {
    switch (state.mode) {
        case Mode::kPost:
            PostMessageA(state.effectWindow, kEffectMessage, 0, 0);
            break;
        case Mode::kIcon:
            SwapIcon(window);
            break;
        case Mode::kLaunch:
            ShellExecuteA(nullptr, nullptr, state.program, nullptr, state.directory, SW_SHOW);
            SwapIcon(window);
            break;
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_HOTKEY:
            OnHotkey(window);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitCommand) {
                DestroyWindow(window);
                return 0;
            }
            break;
        case WM_DESTROY: {
            NOTIFYICONDATAA data{};
            data.cbSize = NOTIFYICONDATAA_V1_SIZE;
            data.hWnd = window;
            data.uID = kTrayUid;
            Shell_NotifyIconA(NIM_DELETE, &data);
            PostQuitMessage(0);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

#ifdef PAVIX_BENCH_DLL_SET
// Pavix's start-up calls, then a reference to one function of every other DLL it imports, so
// that the loader maps them; the references are never called (no argument count is negative).
void PrepareLikePavix(int count) {
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    if (count >= 0) {
        return;
    }
    char path[MAX_PATH] = {};
    PathAppendA(path, "Config.dat");
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
#if PAVIX_BENCH_DLL_SET == 1
    OPENFILENAMEA dialog{};
    GetOpenFileNameA(&dialog);
    PlaySoundA(path, nullptr, SND_FILENAME | SND_ASYNC);
#endif
}
#endif

bool ParseArguments(int count, char** values) {
    if (count < 4) {
        return false;
    }
    const char* mode = values[1];
    state.modifiers = static_cast<UINT>(std::strtoul(values[2], nullptr, 0));
    state.virtualKey = static_cast<UINT>(std::strtoul(values[3], nullptr, 0));
    if (std::strcmp(mode, "post") == 0 && count == 5) {
        state.mode = Mode::kPost;
        state.effectWindow =
            reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(values[4], nullptr, 0)));
        return state.effectWindow != nullptr;
    }
    if (std::strcmp(mode, "icon") == 0 && count == 4) {
        state.mode = Mode::kIcon;
        return true;
    }
    if (std::strcmp(mode, "launch") == 0 && count == 6) {
        state.mode = Mode::kLaunch;
        state.program = values[4];
        state.directory = values[5];
        return true;
    }
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!ParseArguments(__argc, __argv)) {
        return 2;
    }
#ifdef PAVIX_BENCH_DLL_SET
    PrepareLikePavix(__argc);
#endif
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExA(&windowClass) == 0) {
        return 3;
    }
    HWND window = CreateWindowExA(0, kWindowClass, "Pavix minimal", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 3;
    }
    if (!RegisterHotKey(window, kHotkeyId, state.modifiers, state.virtualKey)) {
        DestroyWindow(window);
        return 3;
    }
    Notify(window, NIM_ADD);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    UnregisterHotKey(window, kHotkeyId);
    return 0;
}
