// The recording stand-in of the platform used by tests, benchmarks and fuzzers. It logs every call
// in order with its arguments, keeps an in-memory file system (whose calls refuse paths of
// kMaxPath characters or more, as the ANSI file calls do), names the 256 key codes with a fixed
// US layout, takes Latin-1 (the first 256 code points) as every code page, records message boxes
// instead of showing them, and can be told to make any call fail or return a chosen value.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fake/call.h"
#include "fake/fake_dialog.h"
#include "platform/platform.h"
#include "resources/string_table.h"

namespace pavix::fake {

struct MessageBox {
    std::string text;
    std::string caption;
    std::uint32_t type = 0;
    bool operator==(const MessageBox& other) const {
        return text == other.text && caption == other.caption && type == other.type;
    }
};

inline void PrintTo(const MessageBox& box, std::ostream* out) {
    *out << "MessageBox(\"" << box.text << "\", \"" << box.caption << "\", " << box.type << ")";
}

// A window made with CreateWindowExA other than the main window: a popup or a control in it.
struct FakeWindow {
    std::string className;
    std::string text;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    Rect rect;                // screen or parent coordinates, as given
    WindowHandle parent = 0;  // parent or owner
    bool visible = false;
    GdiObject font = 0;  // by WM_SETFONT
};

class FakePlatform : public Platform {
  public:
    static constexpr ModuleHandle kInstance = 0x400000;
    static constexpr const char* kDefaultModulePath = "C:\\Pavix\\Pavix.exe";

    FakePlatform();
    ~FakePlatform() override;

    // --- What the tests set up and inspect -----------------------------------------------------
    Calls calls;            // every call, in order
    bool recording = true;  // benchmarks switch logging off
    std::vector<MessageBox> messageBoxes;
    // Runs while each message box is open, once it has been recorded, as the box's modal loop
    // would run: a test delivers from here what reaches the program's windows meanwhile.
    std::function<void(const MessageBox&)> whileMessageBoxOpen;
    // Runs while each file dialog is open, as its modal loop would run. Meanwhile the dialog is
    // the window kFileDialog of the dialog class, owned by the request's owner, and the Cancel
    // command posted to it makes it return false.
    std::function<void()> whileFileDialogOpen;
    static constexpr WindowHandle kFileDialog = 0x7000;
    resources::Language language = resources::Language::English;
    std::string modulePath = kDefaultModulePath;
    std::map<std::string, std::string> files;  // path -> contents
    // CSIDL_STARTUP; SaveShellLinkA stores ShellLinkContents as the link's file.
    std::string startupFolder = "C:\\Users\\user\\Start Menu\\Programs\\Startup";
    static std::string ShellLinkContents(const std::string& target, const std::string& folder) {
        return "link to " + target + " in " + folder;
    }
    OsVersionInfo version;  // reported by GetVersionExA (5.1, NT by default)
    std::uint32_t lastError = 0;
    std::uint32_t lastErrorAfterAdjust = 0;  // what AdjustTokenPrivileges leaves as last error
    std::map<std::uint32_t, std::string> systemMessages;  // FormatMessageA texts by error code
    std::map<std::int32_t, std::pair<std::uint32_t, std::uint32_t>> hotkeys;  // id -> (mods, key)
    std::set<std::pair<std::uint32_t, std::uint32_t>> takenChords;  // held by "another program"

    // Windows and the shell.
    static constexpr WindowHandle kMainWindow = 0x1234;
    static constexpr std::uint32_t kTaskbarCreatedMessage = 0xC123;
    bool mutexTaken = false;                 // another instance holds the mutex
    WindowHandle taskbar = 0x2000;           // 0: no taskbar
    WindowHandle notificationArea = 0x2001;  // 0: the taskbar has no notification area
    WindowHandle activeWindow = 0;
    Point cursor{100, 200};
    std::uint32_t menuChoice = 0;  // command that the next popup menu posts; 0 closes it
    std::deque<Message> queue;     // what GetMessageA hands out; empty means the quit message
    // The folders' change notifications: the handles open now, and how many of the next waits
    // of MsgWaitForMultipleObjectsEx find the first handle signalled (the others find input,
    // which PeekMessageA takes from `queue`).
    static constexpr KernelHandle kFirstChangeHandle = 0x6100;
    std::set<KernelHandle> changeHandles;
    int folderChanges = 0;
    std::map<std::uint32_t, NotifyIconData> trayIcons;  // by uID
    std::map<WindowHandle, WindowHandler*> windows;
    // Every window but the main one, by handle; handles grow in order of creation.
    std::map<WindowHandle, FakeWindow> createdWindows;
    std::vector<WindowHandle> ChildrenOf(WindowHandle parent) const;
    Rect workArea{0, 0, 1024, 738};                  // SPI_GETWORKAREA
    Rect notificationAreaRect{880, 740, 1024, 768};  // GetWindowRect of notificationArea
    // Text extents in the stock GUI font at 96 DPI: every byte this wide, every line this high.
    // A font of another height measures in proportion to it.
    static constexpr std::int32_t kCharWidth = 7;
    static constexpr std::int32_t kLineHeight = 13;
    static constexpr std::int32_t kStockFontHeight = 11;
    // The display scale: `dpi` is every monitor's and window's, `systemDpi` the one that the
    // calls without a DPI of their own (GetSystemMetrics, the stock fonts) are sized for.
    std::uint32_t dpi = 96;
    std::uint32_t systemDpi = 96;
    static constexpr MonitorHandle kMonitor = 0x6000;
    Rect monitorRect{0, 0, 1024, 768};  // GetMonitorInfoA; its work area is workArea
    // What `text` measures in `font` (a stock font or one made with CreateFontIndirectA).
    Size TextExtent(GdiObject font, const std::string& text) const;
    int LiveFonts() const { return static_cast<int>(fonts_.size()); }
    // The keyboard: the keys held down now (GetKeyState), and the window that has the focus
    // when it is one made with CreateWindowExA.
    std::set<std::int32_t> keysDown;
    WindowHandle focusedWindow = 0;
    // The clipboard: the text it holds, whether it is open, and the movable memory handed out.
    std::string clipboardText;
    bool clipboardOpen = false;
    std::map<MemoryHandle, std::string> memoryBlocks;
    // Runs a modal dialog in place of the platform: gets the template and the dialog object.
    std::function<std::intptr_t(std::uint32_t, DialogHandler*)> dialogRunner;
    // Simulated controls for every dialog; UseFakeDialogs makes DialogBoxParamA run dialogs there,
    // each as the active window while it is open.
    FakeDialogs dialogs;
    void UseFakeDialogs();
    // Delivers a message to a window's handler as the message loop would.
    std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);

    // Calls with this name (all calls when empty).
    Calls CallsNamed(const std::string& name) const;
    Calls CallsNamed(std::initializer_list<std::string> names) const;
    // The directory of the module path with a trailing backslash.
    std::string ModuleDirectory() const;
    // Overrides the string-table text of an id in both languages.
    void SetString(std::uint32_t id, std::string text) { stringOverrides_[id] = std::move(text); }

    // Every later call named `name` for which `match` holds (all when empty) returns `result`
    // without doing anything else and leaves `error` as the last error. `times` < 0: for ever.
    void Script(const std::string& name, std::int64_t result, std::uint32_t error = 0,
                std::function<bool(const Call&)> match = {}, int times = -1);
    // Reads of `path` deliver at most the bytes before offset `limit` of the file.
    void LimitReads(const std::string& path, std::uint64_t limit) { readLimits_[path] = limit; }
    // Writes to `path` store at most `limit` bytes in all; the write that crosses it comes up
    // short.
    void LimitWrites(const std::string& path, std::uint64_t limit) { writeLimits_[path] = limit; }
    // Number of FormatMessageA buffers not yet released with LocalFree.
    int OutstandingAllocations() const { return static_cast<int>(allocations_.size()); }
    int OpenFileCount() const { return static_cast<int>(openFiles_.size()); }

    // --- ErrorApi ------------------------------------------------------------------------------
    std::uint32_t GetLastError() override;
    // --- HotkeyApi -----------------------------------------------------------------------------
    bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                        std::uint32_t key) override;
    bool UnregisterHotKey(WindowHandle window, std::int32_t id) override;
    // --- KeyboardApi ---------------------------------------------------------------------------
    std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) override;
    std::int32_t GetKeyNameTextA(std::int32_t lParam, char* buffer, std::int32_t size) override;
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
    bool PathAppendA(char* path, const char* more) override;
    KernelHandle FindFirstChangeNotificationA(const char* path, bool watchSubtree,
                                              std::uint32_t filter) override;
    bool FindNextChangeNotification(KernelHandle change) override;
    bool FindCloseChangeNotification(KernelHandle change) override;
    // --- TextApi -------------------------------------------------------------------------------
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
    std::int32_t CoInitialize(const void* reserved) override;
    void CoUninitialize() override;
    bool InitCommonControlsEx(std::uint32_t size, std::uint32_t classes) override;
    std::uint32_t RegisterWindowMessageA(const char* name) override;
    std::uint16_t RegisterClassExA(const WindowClass& windowClass) override;
    WindowHandle CreateWindowExA(std::uint32_t exStyle, const char* className,
                                 const char* windowName, std::uint32_t style, std::int32_t x,
                                 std::int32_t y, std::int32_t width, std::int32_t height,
                                 WindowHandle parent, MenuHandle menu, ModuleHandle instance,
                                 WindowHandler* handler) override;
    std::int32_t GetMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                             std::uint32_t filterMax) override;
    // Finds nothing while folder changes are due, so that the loop waits for them first.
    bool PeekMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                      std::uint32_t filterMax, std::uint32_t removeFlags) override;
    std::uint32_t MsgWaitForMultipleObjectsEx(std::uint32_t count, const KernelHandle* handles,
                                              std::uint32_t milliseconds, std::uint32_t wakeMask,
                                              std::uint32_t flags) override;
    bool TranslateMessage(const Message* message) override;
    std::intptr_t DispatchMessageA(const Message* message) override;
    std::intptr_t DefWindowProcA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;
    bool DestroyWindow(WindowHandle window) override;
    void PostQuitMessage(std::int32_t exitCode) override;
    std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse,
                            const void* timerProc) override;
    bool KillTimer(WindowHandle window, std::uintptr_t id) override;
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
    MonitorHandle MonitorFromWindow(WindowHandle window, std::uint32_t flags) override;
    bool GetMonitorInfoA(MonitorHandle monitor, MonitorInfo* info) override;
    std::uint32_t GetDpiForWindow(WindowHandle window) override;
    std::int32_t GetDpiForMonitor(MonitorHandle monitor, std::uint32_t dpiType, std::uint32_t* dpiX,
                                  std::uint32_t* dpiY) override;
    bool ChangeWindowMessageFilterEx(WindowHandle window, std::uint32_t message,
                                     std::uint32_t action) override;
    bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) override;
    // Leaves the points as they are: the stand-in's screen and client areas share one origin.
    std::int32_t MapWindowPoints(WindowHandle from, WindowHandle to, Point* points,
                                 std::uint32_t count) override;
    // With UseFakeDialogs the dialog opens on simulated controls and stays open until
    // DestroyWindow; without, it fails.
    WindowHandle CreateDialogParamA(ModuleHandle instance, std::uint32_t templateId,
                                    WindowHandle owner, DialogHandler* dialog,
                                    std::intptr_t initParam) override;
    bool IsDialogMessageA(WindowHandle dialog, Message* message) override;
    // --- GdiApi --------------------------------------------------------------------------------
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
    std::int32_t TrackPopupMenu(MenuHandle menu, std::uint32_t flags, std::int32_t x,
                                std::int32_t y, std::int32_t reserved, WindowHandle owner,
                                const void* rect) override;
    bool DestroyMenu(MenuHandle menu) override;
    std::int32_t SHGetFolderPathA(WindowHandle owner, std::int32_t folder, KernelHandle token,
                                  std::uint32_t flags, char* path) override;
    std::int32_t SaveShellLinkA(const char* linkPath, const char* target,
                                const char* workingFolder) override;
    // --- ClipboardApi --------------------------------------------------------------------------
    bool OpenClipboard(WindowHandle owner) override;
    bool EmptyClipboard() override;
    // Takes CF_TEXT only: the text up to the block's first zero byte.
    MemoryHandle SetClipboardData(std::uint32_t format, MemoryHandle data) override;
    bool CloseClipboard() override;
    MemoryHandle GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    void* GlobalLock(MemoryHandle memory) override;
    bool GlobalUnlock(MemoryHandle memory) override;
    MemoryHandle GlobalFree(MemoryHandle memory) override;
    // --- DialogApi -----------------------------------------------------------------------------
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

  protected:
    // Both file dialogs: the call is logged under `name` and answered with dialogs.fileChoice.
    bool ChooseFileName(const char* name, OpenFileName* openFileName);
    // Logs the call and answers it from the scripts, if one applies.
    std::optional<std::int64_t> Record(Call call);
    // What stops a move or copy from `existing` to `target` before the target is looked at:
    // a path too long, either file held open, or no `existing`; kErrorSuccess otherwise.
    std::uint32_t TransferError(const char* existing, const char* target) const;
    bool Fail(std::uint32_t error) {
        lastError = error;
        return false;
    }

  private:
    struct Rule {
        std::string name;
        std::int64_t result;
        std::uint32_t error;
        std::function<bool(const Call&)> match;
        int times;
    };
    struct OpenFile {
        std::string path;
        std::uint64_t position = 0;
        bool writing = false;
    };

    std::vector<Rule> rules_;
    std::map<FileHandle, OpenFile> openFiles_;
    FileHandle nextHandle_ = 0x100;
    KernelHandle nextChangeHandle_ = kFirstChangeHandle;
    std::map<std::string, std::uint64_t> readLimits_;
    std::map<std::string, std::uint64_t> writeLimits_;
    std::map<std::uint32_t, std::string> stringOverrides_;
    std::set<char*> allocations_;
    WindowHandle nextWindow_ = 0x8000;
    MemoryHandle nextMemory_ = 0x9000;
    bool useFakeDialogs_ = false;
    std::optional<WindowHandle> fileDialogOwner_;  // while a file dialog is open
    bool fileDialogCancelled_ = false;
    std::map<DeviceContext, GdiObject> selectedFonts_;
    std::map<GdiObject, LogFont> fonts_;  // made with CreateFontIndirectA, not yet deleted
    GdiObject nextFont_ = 0x7800;
    std::int32_t StockFontHeight() const;
};

}  // namespace pavix::fake
