// The Linux backend: each platform call with its nearest meaning on an X11 desktop, through the
// libraries that Linux desktop programs use (Xlib grabs, GLib's main loop, GTK 3, a
// StatusNotifierItem, libcanberra, logind over D-Bus). Where a call's meaning differs from the
// platform's, its definition says how. Handles are numbers from small tables kept here, so that
// the core's window-and-message model runs unchanged:
// - A window is an entry with its handler; popups and their STATIC labels are GTK widgets, every
//   other window is hidden and has none.
// - GetMessageA takes the next queued message, running one iteration of GLib's main loop (which
//   blocks) whenever the queue is empty. Hotkeys (XGrabKey'd key presses, read from an X
//   connection of their own), timers (GLib timeouts) and menu choices only queue messages;
//   nothing runs on another thread.
// - Modal calls (MessageBoxA) dispatch the queue while they wait, as a modal loop does.
// - The data files and se/ live in $XDG_CONFIG_HOME/pavix/, which stands for the folder of the
//   executable: GetModuleFileNameA names a file "pavix" in it.
// - Texts are UTF-8, which is also the ANSI code page here; the language follows the locale.
// - The Startup folder is the session's autostart folder (startup_link_calls.cpp).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/glib/deferred_calls.h"
#include "platform/linux/posix/posix_files.h"
#include "platform/platform.h"

namespace pavix {

class XHotkeys;
class TrayIndicator;
class Desktop;
class DialogHost;
class DesktopModule;
class PortalHotkeys;
class ExitSignals;
class FolderWatch;
struct DialogTemplate;
struct PortalRules;

// What the executable brings that a Windows program finds in its resources. The texts come in
// the code page of their language (1252 for English, 932 for Japanese) and are shown in UTF-8.
struct LinuxResources {
    std::function<const char*(bool japanese, std::uint32_t id)> findString;
    std::function<const char*(bool japanese, std::uint32_t commandId)> findMenuText;
    std::uint32_t menuId = 0;
    std::vector<std::uint32_t> menuCommands;  // in item order
    // Greyed whatever the program asks.
    std::set<std::uint32_t> unavailableCommands;
    // The dialog templates of a language (UTF-8), and the text the chord capture control shows
    // for no chord.
    std::function<const DialogTemplate*(bool japanese, std::uint32_t id)> findDialog;
    std::uint32_t noChordTextId = 0;
    std::uint32_t exitCommand = 0;  // the menu's Exit, which the signals that end a program choose
    // The tray icon's callback message: a second start sends it as a right click where no tray
    // shows the icon, and the menu then comes as a window (TrayIndicator::ShowChoices).
    std::uint32_t trayMessage = 0;
    std::map<std::uint32_t, std::string> iconNames;  // icon id -> name of its .ico beside the
                                                     // executable, without the extension
    // Through the desktop's global-shortcuts portal: what each chord (key code x 65536 +
    // modifiers) starts or continues, and the command that has the owner of the hotkeys
    // register them again.
    std::function<std::map<std::uint32_t, std::string>(Platform& platform)> describeChords;
    std::uint32_t enableCommand = 0;
};

// Where the program finds its things: set by the executable from its environment.
struct LinuxPlaces {
    std::string configFolder;   // the data files and se/
    std::string programFolder;  // se/ and icons/ to install (locations.h, ProgramFiles)
    std::string instanceLock;   // the single-instance lock file
    std::string runtimeFolder;  // private files of this run (the tray's pictures)
    std::string desktopModule;  // the desktop module (desktop_module.h) to load on first use
    std::string portalModule;   // the portal's client (portal/portal_connection.h), likewise
    std::string desktopEntry;   // the desktop file, copied into the autostart folder
    bool japanese = false;
};

class LinuxPlatform final : public Platform {
  public:
    LinuxPlatform(LinuxResources resources, LinuxPlaces places);
    ~LinuxPlatform() override;
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    // Connects to the X11 display (never a Wayland one); false when there is none, which a
    // Wayland session with the portal can do without (the keys are then the desktop's). Only
    // the hotkeys' connection opens here: the desktop's libraries (GTK, the tray item) come up on
    // their first use, which at start is the tray icon's, after every chord is grabbed.
    bool OpenDisplay();
    // Called from the main loop with a registered chord that a new keyboard map made impossible
    // (another client holds its new key): the platform let go of it.
    void OnHotkeyLost(std::function<void(std::uint32_t modifiers, std::uint32_t key)> lost) {
        hotkeyLost_ = std::move(lost);
    }
    // For a Wayland session: the hotkey calls go to the desktop's global-shortcuts portal from
    // now on, under `appId` (portal/portal_hotkeys.h); false, with the reason, where there is
    // no portal or it offers no GlobalShortcuts, and then they stay with X11.
    bool UsePortal(const std::string& appId, const PortalRules& rules, std::string* failure);
    // SIGTERM, SIGINT and SIGHUP choose the menu's Exit (LinuxResources::exitCommand) for every
    // top-level window from the main loop, instead of ending the process where it stands. Call
    // it before anything starts a thread.
    void EndOnSignals();
    // For a second start, after CreateMutexA found the lock held: asks the Pavix that holds it
    // for its menu's choices (which it shows only without a tray). False when none answers.
    bool CallRunningPavix();

    // --- ErrorApi ------------------------------------------------------------------------------
    std::uint32_t GetLastError() override { return files_.GetLastError(); }
    // --- HotkeyApi -----------------------------------------------------------------------------
    bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                        std::uint32_t key) override;
    bool UnregisterHotKey(WindowHandle window, std::int32_t id) override;
    // --- KeyboardApi ---------------------------------------------------------------------------
    // The "scan code" is the X key code of the key, which GetKeyNameTextA names.
    std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) override;
    std::int32_t GetKeyNameTextA(std::int32_t lParam, char* buffer, std::int32_t size) override;
    // The modifiers from the keyboard state GDK keeps; other keys read as up.
    std::int16_t GetKeyState(std::int32_t virtualKey) override;
    // --- FileApi -------------------------------------------------------------------------------
    FileHandle CreateFileA(const char* path, std::uint32_t access, std::uint32_t shareMode,
                           std::uint32_t creationDisposition,
                           std::uint32_t flagsAndAttributes) override;
    bool ReadFile(FileHandle file, void* buffer, std::uint32_t bytesToRead,
                  std::uint32_t* bytesRead) override;
    bool WriteFile(FileHandle file, const void* buffer, std::uint32_t bytesToWrite,
                   std::uint32_t* bytesWritten) override;
    bool FlushFileBuffers(FileHandle file) override;
    std::uint32_t GetFileSize(FileHandle file, std::uint32_t* sizeHigh) override;
    bool CloseHandle(KernelHandle handle) override;
    bool MoveFileExA(const char* existing, const char* replacement, std::uint32_t flags) override;
    bool CopyFileA(const char* existing, const char* newFile, bool failIfExists) override;
    std::uint32_t GetFileAttributesA(const char* path) override;
    bool DeleteFileA(const char* path) override;
    ModuleHandle GetModuleHandleA(const char* moduleName) override;
    std::uint32_t GetModuleFileNameA(ModuleHandle module, char* buffer,
                                     std::uint32_t size) override;
    bool PathRemoveFileSpecA(char* path) override;
    // A backslash in `more` is a separator, as the platform takes it ("se\match.wav").
    bool PathAppendA(char* path, const char* more) override;
    // GIO's monitor of the folder (through the desktop module), which tells of a written file
    // when its writer closes it rather than at each write, and ignores `filter`: every change of a
    // file's name or contents counts. Folders only, never their subfolders.
    KernelHandle FindFirstChangeNotificationA(const char* path, bool watchSubtree,
                                              std::uint32_t filter) override;
    bool FindNextChangeNotification(KernelHandle change) override;
    bool FindCloseChangeNotification(KernelHandle change) override;
    // --- TextApi -------------------------------------------------------------------------------
    // The ANSI code page (kCpAcp) is UTF-8.
    std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                     const char* multiByte, std::int32_t multiByteCount,
                                     char16_t* wide, std::int32_t wideCount) override;
    std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                     const char16_t* wide, std::int32_t wideCount, char* multiByte,
                                     std::int32_t multiByteCount, const char* defaultChar,
                                     bool* usedDefaultChar) override;
    // --- SoundApi ------------------------------------------------------------------------------
    bool PlaySoundA(const char* sound, ModuleHandle module, std::uint32_t flags) override;
    // --- SystemApi -----------------------------------------------------------------------------
    std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                std::int32_t showCommand) override;
    std::uint32_t FormatMessageA(std::uint32_t flags, const void* source, std::uint32_t messageId,
                                 std::uint32_t languageId, char** allocated,
                                 std::uint32_t size) override;
    void LocalFree(void* memory) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
    bool SetSystemPowerState(bool suspend, bool force) override;
    bool LockWorkStation() override;
    bool GetVersionExA(OsVersionInfo* info) override;
    KernelHandle GetCurrentProcess() override;
    bool OpenProcessToken(KernelHandle process, std::uint32_t access, KernelHandle* token) override;
    bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override;
    bool AdjustTokenPrivileges(KernelHandle token, bool disableAll,
                               const TokenPrivilege* newState) override;
    bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    // --- ResourceApi ---------------------------------------------------------------------------
    std::int32_t LoadStringA(ModuleHandle instance, std::uint32_t id, char* buffer,
                             std::int32_t bufferMax) override;
    std::int32_t MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                             std::uint32_t type) override;
    // --- WindowApi -----------------------------------------------------------------------------
    KernelHandle CreateMutexA(const void* attributes, bool initialOwner, const char* name) override;
    std::int32_t CoInitialize(const void*) override { return 0; }
    void CoUninitialize() override {}
    bool InitCommonControlsEx(std::uint32_t, std::uint32_t) override { return true; }
    std::uint32_t RegisterWindowMessageA(const char* name) override;
    std::uint16_t RegisterClassExA(const WindowClass& windowClass) override;
    WindowHandle CreateWindowExA(std::uint32_t exStyle, const char* className,
                                 const char* windowName, std::uint32_t style, std::int32_t x,
                                 std::int32_t y, std::int32_t width, std::int32_t height,
                                 WindowHandle parent, MenuHandle menu, ModuleHandle instance,
                                 WindowHandler* handler) override;
    std::int32_t GetMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                             std::uint32_t filterMax) override;
    // Runs one iteration of the main loop that does not wait, then takes a queued message; Pavix
    // always removes what it takes (kPmRemove) and filters nothing.
    bool PeekMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                      std::uint32_t filterMax, std::uint32_t removeFlags) override;
    // Runs the main loop until a change notification is signalled or a message waits in the
    // queue, any message whatever `wakeMask` and `flags` say (after PeekMessageA found none, each
    // is new input). It waits without a time limit: Pavix passes kInfinite.
    std::uint32_t MsgWaitForMultipleObjectsEx(std::uint32_t count, const KernelHandle* handles,
                                              std::uint32_t milliseconds, std::uint32_t wakeMask,
                                              std::uint32_t flags) override;
    bool TranslateMessage(const Message*) override { return false; }
    std::intptr_t DispatchMessageA(const Message* message) override;
    std::intptr_t DefWindowProcA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;
    bool DestroyWindow(WindowHandle window) override;
    void PostQuitMessage(std::int32_t exitCode) override;
    std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse,
                            const void* timerProc) override;
    bool KillTimer(WindowHandle window, std::uintptr_t id) override;
    // The dialog on top, 0 while none runs.
    WindowHandle GetActiveWindow() override;
    bool SetForegroundWindow(WindowHandle window) override;
    WindowHandle GetWindow(WindowHandle window, std::uint32_t command) override;
    std::intptr_t DialogBoxParamA(ModuleHandle instance, std::uint32_t templateId,
                                  WindowHandle owner, DialogHandler* dialog,
                                  std::intptr_t initParam) override;
    bool MessageBeep(std::uint32_t type) override;
    bool ShowWindow(WindowHandle window, std::int32_t showCommand) override;
    bool GetWindowRect(WindowHandle window, Rect* rect) override;
    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* data,
                               std::uint32_t winIni) override;
    // Display scale (display_calls.cpp): one monitor at the standard DPI; GTK scales itself.
    MonitorHandle MonitorFromWindow(WindowHandle window, std::uint32_t flags) override;
    bool GetMonitorInfoA(MonitorHandle monitor, MonitorInfo* info) override;
    std::uint32_t GetDpiForWindow(WindowHandle window) override;
    std::int32_t GetDpiForMonitor(MonitorHandle monitor, std::uint32_t dpiType, std::uint32_t* dpiX,
                                  std::uint32_t* dpiY) override;
    bool ChangeWindowMessageFilterEx(WindowHandle window, std::uint32_t message,
                                     std::uint32_t action) override;
    bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) override;
    // The coordinates of dialogs' controls (clipboard_calls.cpp), in a dialog's own pixels; and
    // modeless dialogs, which the dialog host runs beside the modal ones (dialog_calls.cpp).
    std::int32_t MapWindowPoints(WindowHandle from, WindowHandle to, Point* points,
                                 std::uint32_t count) override;
    WindowHandle CreateDialogParamA(ModuleHandle instance, std::uint32_t templateId,
                                    WindowHandle owner, DialogHandler* dialog,
                                    std::intptr_t initParam) override;
    // GTK routes a modeless dialog's keys itself: no message of the queue is the dialog's.
    bool IsDialogMessageA(WindowHandle, Message*) override { return false; }
    // --- GdiApi --------------------------------------------------------------------------------
    // One font, the desktop's own, which the labels use too.
    GdiObject GetStockObject(std::int32_t index) override;
    DeviceContext GetDC(WindowHandle window) override;
    std::int32_t ReleaseDC(WindowHandle window, DeviceContext context) override;
    GdiObject SelectObject(DeviceContext context, GdiObject object) override;
    bool GetTextExtentPoint32A(DeviceContext context, const char* text, std::int32_t length,
                               Size* size) override;
    std::int32_t GetDeviceCaps(DeviceContext context, std::int32_t index) override;
    std::int32_t GetObjectA(GdiObject object, std::int32_t size, LogFont* font) override;
    GdiObject CreateFontIndirectA(const LogFont* font) override;
    bool DeleteObject(GdiObject object) override;
    // --- ShellApi ------------------------------------------------------------------------------
    // "Shell_TrayWnd" is the session bus and "TrayNotifyWnd" in it the StatusNotifierWatcher.
    WindowHandle FindWindowA(const char* className, const char* windowName) override;
    WindowHandle FindWindowExA(WindowHandle parent, WindowHandle childAfter, const char* className,
                               const char* windowName) override;
    std::int32_t GetSystemMetrics(std::int32_t index) override;
    std::int32_t GetSystemMetricsForDpi(std::int32_t index, std::uint32_t dpi) override;
    IconHandle LoadImageA(ModuleHandle instance, std::uint32_t resourceId, std::uint32_t type,
                          std::int32_t width, std::int32_t height, std::uint32_t flags) override;
    bool DestroyIcon(IconHandle icon) override;
    bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData* data) override;
    bool GetCursorPos(Point* point) override;
    MenuHandle LoadMenuA(ModuleHandle instance, std::uint32_t resourceId) override;
    MenuHandle GetSubMenu(MenuHandle menu, std::int32_t position) override;
    std::int32_t EnableMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t flags) override;
    std::uint32_t CheckMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t check) override;
    // The tray item's menu is shown by the tray host: this hands it the menu to show from now on.
    std::int32_t TrackPopupMenu(MenuHandle menu, std::uint32_t flags, std::int32_t x,
                                std::int32_t y, std::int32_t reserved, WindowHandle owner,
                                const void* rect) override;
    bool DestroyMenu(MenuHandle menu) override;
    std::int32_t SHGetFolderPathA(WindowHandle owner, std::int32_t folder, KernelHandle token,
                                  std::uint32_t flags, char* path) override;
    std::int32_t SaveShellLinkA(const char* linkPath, const char* target,
                                const char* workingFolder) override;
    // --- ClipboardApi: GTK's CLIPBOARD selection; CF_TEXT is UTF-8 text, as every text here.
    bool OpenClipboard(WindowHandle owner) override;
    bool EmptyClipboard() override;
    MemoryHandle SetClipboardData(std::uint32_t format, MemoryHandle data) override;
    bool CloseClipboard() override;
    MemoryHandle GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    void* GlobalLock(MemoryHandle memory) override;
    bool GlobalUnlock(MemoryHandle memory) override;
    MemoryHandle GlobalFree(MemoryHandle memory) override;
    // --- DialogApi: the dialogs are GTK windows (dialog_host.h) ----------------------------
    WindowHandle GetDlgItem(WindowHandle dialog, std::int32_t id) override;
    std::intptr_t SendDlgItemMessageA(WindowHandle dialog, std::int32_t id, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    bool SetDlgItemTextA(WindowHandle dialog, std::int32_t id, const char* text) override;
    std::uint32_t GetDlgItemInt(WindowHandle dialog, std::int32_t id, bool* translated,
                                bool isSigned) override;
    bool SetDlgItemInt(WindowHandle dialog, std::int32_t id, std::uint32_t value,
                       bool isSigned) override;
    std::int32_t GetWindowTextLengthA(WindowHandle window) override;
    std::int32_t GetWindowTextA(WindowHandle window, char* buffer, std::int32_t maxCount) override;
    bool EnableWindow(WindowHandle window, bool enable) override;
    WindowHandle SetFocus(WindowHandle window) override;
    bool GetClientRect(WindowHandle window, Rect* rect) override;
    bool InvalidateRect(WindowHandle window, const Rect* rect, bool erase) override;
    bool EndDialog(WindowHandle dialog, std::intptr_t result) override;
    bool GetOpenFileNameA(OpenFileName* openFileName) override;
    bool GetSaveFileNameA(OpenFileName* openFileName) override;

  private:
    // The tray host's stand-ins: "Shell_TrayWnd" (the session bus) and "TrayNotifyWnd" in it
    // (the StatusNotifierWatcher).
    static constexpr WindowHandle kTaskbarHandle = 0x100;
    static constexpr WindowHandle kTrayAreaHandle = 0x104;
    // Kernel handles that are no descriptors: the shutdown token and the instance lock.
    static constexpr KernelHandle kTokenHandle = -0x100;
    static constexpr KernelHandle kLockHandle = -0x104;
    // Change notifications count down from here.
    static constexpr KernelHandle kFirstChangeHandle = -0x1000;

    struct WindowEntry {
        std::string className;
        std::string text;
        WindowHandler* handler = nullptr;
        WindowHandle parent = 0;
        Rect rect;
        void* widget = nullptr;  // the GtkWidget of a popup or label, owned by GTK
        bool visible = false;
    };
    struct MenuItem {
        std::uint32_t id = 0;
        std::string text;
        bool grayed = false;
        bool checkable = false;  // CheckMenuItem was called on it
        bool checked = false;
    };
    struct MenuEntry {
        std::vector<MenuItem> items;
        MenuHandle popup = 0;  // of a menu bar; 0 in a popup
    };
    // A file dialog while it runs: a window of the dialog class, owned by the window given in its
    // request, that the Cancel command posted to it ends as its own Cancel button does.
    struct FileDialogEntry {
        WindowHandle owner = 0;
        bool cancelled = false;
    };
    struct ChangeEntry {
        std::unique_ptr<FolderWatch> watch;
        bool signalled = false;
    };
    struct TimerEntry {
        unsigned source = 0;  // the GLib timeout
        bool queued = false;  // a WM_TIMER waits in the queue (never more than one)
    };

    void Queue(const Message& message);
    void WakeLoop();
    // Whether a dialog of the dialog host, or a control in one, is `window`.
    bool OwnedByDialog(WindowHandle window) const;
    WindowHandle CreateInDialog(const char* className, const char* windowName, const Rect& rect,
                                WindowHandle parent, std::int32_t id, WindowHandler* handler);
    DialogHost& Dialogs();
    // The desktop module, loaded on the first call; nullptr when it cannot be.
    DesktopModule* Module();
    // The desktop, brought up on the first call; nullptr when the module cannot be loaded or GTK
    // cannot open the display.
    Desktop* Gui();
    // The tray item, with the desktop; nullptr without one.
    TrayIndicator* Tray();
    std::intptr_t SendToDialog(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam);
    bool DialogText(WindowHandle window, std::string* text) const;
    // Dispatches what comes until `done`, as a modal loop does; a quit ends it early and stays.
    void PumpUntil(const bool& done);
    // The same, until `done` or `stopped`.
    void PumpUntil(const bool& done, const bool& stopped);
    // Asks the tray's owner for its menu as a right click does, so the host shows it as it is.
    void RefreshTrayMenu();
    void OnCalled();
    bool StartScreenSaver();
    bool ChooseFile(OpenFileName* request, bool save);
    std::string IconFile(std::uint32_t iconId);
    // Takes the locale and puts the hotkeys on the main loop, when messages are first asked for.
    void StartLoop();
    // One iteration of the main loop, blocking when `wait`; true when it dispatched anything.
    bool Iterate(bool wait);
    // One iteration of the main loop unless a message waits; then takes it.
    bool NextMessage(Message* message, bool wait);
    void OnTimerDue(WindowHandle window, std::uintptr_t id);
    void DestroyTree(WindowHandle window);
    void OnHotkeyPressed(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                         std::uint32_t key);
    std::string Text(std::uint32_t id) const;
    std::string MenuText(std::uint32_t commandId) const;
    bool CallLogind(const char* method, bool interactive);
    void Play(const char* sound);  // nullptr stops the sound playing

    LinuxResources resources_;
    LinuxPlaces places_;
    PosixFiles files_;
    DesktopModule* module_ = nullptr;
    bool moduleFailed_ = false;  // no second try either
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<XHotkeys> hotkeys_;
    std::unique_ptr<PortalHotkeys> portal_;  // in a Wayland session with the portal
    std::unique_ptr<TrayIndicator> tray_;
    std::unique_ptr<DialogHost> dialogHost_;
    bool guiFailed_ = false;  // GTK could not open the display: no second try
    std::map<WindowHandle, WindowEntry> windows_;
    std::map<WindowHandle, FileDialogEntry> fileDialogs_;
    std::map<std::pair<WindowHandle, std::uintptr_t>, TimerEntry> timers_;
    std::map<KernelHandle, ChangeEntry> changes_;
    KernelHandle nextChange_ = kFirstChangeHandle;
    std::map<MenuHandle, MenuEntry> menus_;
    std::map<std::string, std::uint32_t> registeredMessages_;
    std::set<std::string> classes_;
    std::map<MemoryHandle, std::vector<char>> memory_;  // GlobalAlloc's blocks, until freed
    MemoryHandle nextMemory_ = 0x9000;
    bool clipboardOpen_ = false;
    std::deque<Message> queue_;
    bool quitPosted_ = false;
    bool loopStarted_ = false;  // messages were asked for: the locale and GLib are in
    std::int32_t quitCode_ = 0;
    std::uintptr_t nextHandle_ = 0x10000;
    int lockDescriptor_ = -1;
    bool lockHeld_ = false;
    std::string lastErrorText_;  // the system's wording of the last error, where it gave one
    DeferredCalls deferred_;     // the sounds and lost chords, carried out from the main loop
    std::function<void(std::uint32_t modifiers, std::uint32_t key)> hotkeyLost_;
    std::unique_ptr<ExitSignals> exitSignals_;
    bool choicesWanted_ = false;  // the next menu shows as a window (a second start asked)
    WindowHandle trayOwner_ = 0;
    std::uint32_t trayMessage_ = 0;
    std::uint32_t trayUid_ = 0;
    std::map<IconHandle, std::uint32_t> icons_;  // loaded icon -> its id
};

}  // namespace pavix
