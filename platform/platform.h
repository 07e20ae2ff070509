// The narrow interfaces through which the core reaches its platform. Each operation keeps the
// platform's own name, argument order and numeric values; only the types are portable. A backend
// implements every group in one object (Platform), while each part of the core asks only for the
// groups it uses.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/dialog_api.h"
#include "platform/types.h"

namespace pavix {

class ErrorApi {
  public:
    virtual ~ErrorApi() = default;
    // The calling thread's last error, as the most recent failing call left it.
    virtual std::uint32_t GetLastError() = 0;
};

class HotkeyApi {
  public:
    virtual ~HotkeyApi() = default;
    virtual bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                std::uint32_t key) = 0;
    virtual bool UnregisterHotKey(WindowHandle window, std::int32_t id) = 0;
};

class KeyboardApi {
  public:
    virtual ~KeyboardApi() = default;
    virtual std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) = 0;
    // Writes at most size - 1 bytes and a terminating zero; returns the bytes written.
    virtual std::int32_t GetKeyNameTextA(std::int32_t lParam, char* buffer, std::int32_t size) = 0;
    // The key's state as of the keyboard message being handled: the high bit while it is down.
    virtual std::int16_t GetKeyState(std::int32_t virtualKey) = 0;
};

class FileApi {
  public:
    virtual ~FileApi() = default;
    virtual FileHandle CreateFileA(const char* path, std::uint32_t access, std::uint32_t shareMode,
                                   std::uint32_t creationDisposition,
                                   std::uint32_t flagsAndAttributes) = 0;
    virtual bool ReadFile(FileHandle file, void* buffer, std::uint32_t bytesToRead,
                          std::uint32_t* bytesRead) = 0;
    virtual bool WriteFile(FileHandle file, const void* buffer, std::uint32_t bytesToWrite,
                           std::uint32_t* bytesWritten) = 0;
    virtual bool FlushFileBuffers(FileHandle file) = 0;
    // Returns the low 32 bits of the size and stores the high ones; 0xFFFFFFFF with a last error
    // on failure.
    virtual std::uint32_t GetFileSize(FileHandle file, std::uint32_t* sizeHigh) = 0;
    virtual bool CloseHandle(KernelHandle handle) = 0;
    virtual bool MoveFileExA(const char* existing, const char* replacement,
                             std::uint32_t flags) = 0;
    virtual bool CopyFileA(const char* existing, const char* newFile, bool failIfExists) = 0;
    virtual bool DeleteFileA(const char* path) = 0;
    // kInvalidFileAttributes, with a last error, when there is no such file or folder.
    virtual std::uint32_t GetFileAttributesA(const char* path) = 0;
    virtual ModuleHandle GetModuleHandleA(const char* moduleName) = 0;
    virtual std::uint32_t GetModuleFileNameA(ModuleHandle module, char* buffer,
                                             std::uint32_t size) = 0;
    // Both work in place on a buffer of kMaxPath bytes.
    virtual bool PathRemoveFileSpecA(char* path) = 0;
    virtual bool PathAppendA(char* path, const char* more) = 0;
    // A handle that turns signalled when something matching `filter` (kFileNotifyChange*)
    // changes in the folder; kInvalidHandleValue, with a last error, when the folder cannot be
    // watched. It stays signalled until FindNextChangeNotification, which also gathers what
    // changes from then on.
    virtual KernelHandle FindFirstChangeNotificationA(const char* path, bool watchSubtree,
                                                      std::uint32_t filter) = 0;
    virtual bool FindNextChangeNotification(KernelHandle change) = 0;
    virtual bool FindCloseChangeNotification(KernelHandle change) = 0;
};

// Conversions between the ANSI code page of the data files and UTF-16; the text form of the
// sequences is UTF-8, which the core converts to and from UTF-16 itself.
class TextApi {
  public:
    virtual ~TextApi() = default;
    // Returns the UTF-16 units written, or with wideCount 0 the units needed; 0 on failure.
    virtual std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                             const char* multiByte, std::int32_t multiByteCount,
                                             char16_t* wide, std::int32_t wideCount) = 0;
    // Returns the bytes written, or with multiByteCount 0 the bytes needed; 0 on failure.
    // *usedDefaultChar tells whether a character had no equivalent in the code page.
    virtual std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                             const char16_t* wide, std::int32_t wideCount,
                                             char* multiByte, std::int32_t multiByteCount,
                                             const char* defaultChar, bool* usedDefaultChar) = 0;
};

class SoundApi {
  public:
    virtual ~SoundApi() = default;
    virtual bool PlaySoundA(const char* sound, ModuleHandle module, std::uint32_t flags) = 0;
};

class SystemApi {
  public:
    virtual ~SystemApi() = default;
    virtual std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        std::int32_t showCommand) = 0;
    // With kFormatMessageAllocateBuffer the text is allocated by the platform, stored in
    // *allocated and released with LocalFree. Returns the length of the text, 0 when none.
    virtual std::uint32_t FormatMessageA(std::uint32_t flags, const void* source,
                                         std::uint32_t messageId, std::uint32_t languageId,
                                         char** allocated, std::uint32_t size) = 0;
    virtual void LocalFree(void* memory) = 0;
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
    virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
    virtual bool LockWorkStation() = 0;
    virtual bool GetVersionExA(OsVersionInfo* info) = 0;
    virtual KernelHandle GetCurrentProcess() = 0;
    virtual bool OpenProcessToken(KernelHandle process, std::uint32_t access,
                                  KernelHandle* token) = 0;
    virtual bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) = 0;
    virtual bool AdjustTokenPrivileges(KernelHandle token, bool disableAll,
                                       const TokenPrivilege* newState) = 0;
    virtual bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;
};

class ResourceApi {
  public:
    virtual ~ResourceApi() = default;
    // Copies at most bufferMax - 1 bytes and a terminating zero; returns the bytes copied, 0 for
    // a missing id.
    virtual std::int32_t LoadStringA(ModuleHandle instance, std::uint32_t id, char* buffer,
                                     std::int32_t bufferMax) = 0;
    virtual std::int32_t MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                                     std::uint32_t type) = 0;
};

// A window's procedure in portable form: the backend's window procedure forwards every message of
// a window created with a handler to it.
class WindowHandler {
  public:
    virtual ~WindowHandler() = default;
    virtual std::intptr_t WindowProc(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// A modal dialog's behaviour in portable form: the backend's dialog procedure forwards every
// message of a dialog run with DialogBoxParamA to it. The result is the dialog procedure's (nonzero
// when the message was handled).
class DialogHandler {
  public:
    virtual ~DialogHandler() = default;
    virtual std::intptr_t DialogProc(WindowHandle dialog, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// WNDCLASSEXA, reduced to what Pavix sets; the procedure is the backend's forwarder.
struct WindowClass {
    const char* className = nullptr;
    ModuleHandle instance = 0;
    std::uint32_t cursorId = 0;    // a system cursor (IDC_*), 0 for none
    std::uint32_t background = 0;  // a system colour (COLOR_*) + 1, 0 for none
};

// MSG
struct Message {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class WindowApi {
  public:
    virtual ~WindowApi() = default;
    virtual KernelHandle CreateMutexA(const void* attributes, bool initialOwner,
                                      const char* name) = 0;
    virtual std::int32_t CoInitialize(const void* reserved) = 0;
    virtual void CoUninitialize() = 0;
    virtual bool InitCommonControlsEx(std::uint32_t size, std::uint32_t classes) = 0;
    virtual std::uint32_t RegisterWindowMessageA(const char* name) = 0;
    virtual std::uint16_t RegisterClassExA(const WindowClass& windowClass) = 0;
    // `handler` travels as the creation parameter; it receives WM_CREATE before this returns.
    virtual WindowHandle CreateWindowExA(std::uint32_t exStyle, const char* className,
                                         const char* windowName, std::uint32_t style,
                                         std::int32_t x, std::int32_t y, std::int32_t width,
                                         std::int32_t height, WindowHandle parent, MenuHandle menu,
                                         ModuleHandle instance, WindowHandler* handler) = 0;
    virtual std::int32_t GetMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                                     std::uint32_t filterMax) = 0;
    // Takes the next message without waiting (with kPmRemove); false when none is there. The
    // quit message comes as kWmQuit.
    virtual bool PeekMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                              std::uint32_t filterMax, std::uint32_t removeFlags) = 0;
    // Waits until one of `count` handles is signalled (kWaitObject0 + its index) or input that
    // `wakeMask` names arrives after the last look at the queue (kWaitObject0 + count);
    // kWaitFailed on failure.
    virtual std::uint32_t MsgWaitForMultipleObjectsEx(std::uint32_t count,
                                                      const KernelHandle* handles,
                                                      std::uint32_t milliseconds,
                                                      std::uint32_t wakeMask,
                                                      std::uint32_t flags) = 0;
    virtual bool TranslateMessage(const Message* message) = 0;
    virtual std::intptr_t DispatchMessageA(const Message* message) = 0;
    virtual std::intptr_t DefWindowProcA(WindowHandle window, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual bool DestroyWindow(WindowHandle window) = 0;
    virtual void PostQuitMessage(std::int32_t exitCode) = 0;
    virtual std::uintptr_t SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse,
                                    const void* timerProc) = 0;
    virtual bool KillTimer(WindowHandle window, std::uintptr_t id) = 0;
    virtual WindowHandle GetActiveWindow() = 0;
    virtual bool SetForegroundWindow(WindowHandle window) = 0;
    // Pavix asks only GW_OWNER: the window that owns `window`, 0 for none.
    virtual WindowHandle GetWindow(WindowHandle window, std::uint32_t command) = 0;
    // Runs `dialog` modally from the template; returns what the dialog ends with, -1 on failure.
    virtual std::intptr_t DialogBoxParamA(ModuleHandle instance, std::uint32_t templateId,
                                          WindowHandle owner, DialogHandler* dialog,
                                          std::intptr_t initParam) = 0;
    virtual bool MessageBeep(std::uint32_t type) = 0;
    // Returns whether the window was visible before.
    virtual bool ShowWindow(WindowHandle window, std::int32_t showCommand) = 0;
    // In screen coordinates.
    virtual bool GetWindowRect(WindowHandle window, Rect* rect) = 0;
    // Pavix asks only SPI_GETWORKAREA, whose `data` is a Rect.
    virtual bool SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* data,
                                       std::uint32_t winIni) = 0;
    virtual MonitorHandle MonitorFromWindow(WindowHandle window, std::uint32_t flags) = 0;
    virtual bool GetMonitorInfoA(MonitorHandle monitor, MonitorInfo* info) = 0;

    // Converts `count` points from `from`'s client coordinates to `to`'s (0: the screen).
    virtual std::int32_t MapWindowPoints(WindowHandle from, WindowHandle to, Point* points,
                                         std::uint32_t count) = 0;
    // Creates `dialog` from the template without a modal loop and returns its window, 0 on
    // failure; it is ended with DestroyWindow.
    virtual WindowHandle CreateDialogParamA(ModuleHandle instance, std::uint32_t templateId,
                                            WindowHandle owner, DialogHandler* dialog,
                                            std::intptr_t initParam) = 0;
    // True when `message` was meant for the modeless `dialog`'s keyboard handling and is done.
    virtual bool IsDialogMessageA(WindowHandle dialog, Message* message) = 0;

    // The calls below are newer than the oldest systems Pavix runs on. Where the platform lacks
    // one, it fails as documented (0, false or an error result) with kErrorProcNotFound as the
    // last error, and the caller falls back on what those systems do.
    // Windows 10 1607 on; 0 also for a window that is gone.
    virtual std::uint32_t GetDpiForWindow(WindowHandle window) = 0;
    // Windows 8.1 on; an HRESULT, 0 when *dpiX and *dpiY hold the monitor's DPI.
    virtual std::int32_t GetDpiForMonitor(MonitorHandle monitor, std::uint32_t dpiType,
                                          std::uint32_t* dpiX, std::uint32_t* dpiY) = 0;
    // Windows 7 on; Pavix passes no CHANGEFILTERSTRUCT.
    virtual bool ChangeWindowMessageFilterEx(WindowHandle window, std::uint32_t message,
                                             std::uint32_t action) = 0;
    // Windows Vista alone has only this form, which lets the message reach every window of the
    // process.
    virtual bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) = 0;
};

// The clipboard, and the movable memory that it takes over.
class ClipboardApi {
  public:
    virtual ~ClipboardApi() = default;
    virtual bool OpenClipboard(WindowHandle owner) = 0;
    virtual bool EmptyClipboard() = 0;
    // On success the clipboard owns `data`; returns 0 on failure.
    virtual MemoryHandle SetClipboardData(std::uint32_t format, MemoryHandle data) = 0;
    virtual bool CloseClipboard() = 0;
    virtual MemoryHandle GlobalAlloc(std::uint32_t flags, std::size_t bytes) = 0;
    virtual void* GlobalLock(MemoryHandle memory) = 0;
    virtual bool GlobalUnlock(MemoryHandle memory) = 0;
    // Returns 0 on success.
    virtual MemoryHandle GlobalFree(MemoryHandle memory) = 0;
};

// Fonts and the measuring of text.
class GdiApi {
  public:
    virtual ~GdiApi() = default;
    virtual GdiObject GetStockObject(std::int32_t index) = 0;
    // A null window is the whole screen.
    virtual DeviceContext GetDC(WindowHandle window) = 0;
    virtual std::int32_t ReleaseDC(WindowHandle window, DeviceContext context) = 0;
    // Returns the object of the same kind that was selected before, 0 on failure.
    virtual GdiObject SelectObject(DeviceContext context, GdiObject object) = 0;
    virtual bool GetTextExtentPoint32A(DeviceContext context, const char* text, std::int32_t length,
                                       Size* size) = 0;
    virtual std::int32_t GetDeviceCaps(DeviceContext context, std::int32_t index) = 0;
    // Pavix reads only fonts, into a LogFont of `size` bytes; returns the bytes stored.
    virtual std::int32_t GetObjectA(GdiObject object, std::int32_t size, LogFont* font) = 0;
    virtual GdiObject CreateFontIndirectA(const LogFont* font) = 0;
    virtual bool DeleteObject(GdiObject object) = 0;
};

class ShellApi {
  public:
    virtual ~ShellApi() = default;
    virtual WindowHandle FindWindowA(const char* className, const char* windowName) = 0;
    virtual WindowHandle FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                       const char* className, const char* windowName) = 0;
    virtual std::int32_t GetSystemMetrics(std::int32_t index) = 0;
    // Windows 10 1607 on (see WindowApi::GetDpiForWindow): 0 where the platform lacks it.
    virtual std::int32_t GetSystemMetricsForDpi(std::int32_t index, std::uint32_t dpi) = 0;
    virtual IconHandle LoadImageA(ModuleHandle instance, std::uint32_t resourceId,
                                  std::uint32_t type, std::int32_t width, std::int32_t height,
                                  std::uint32_t flags) = 0;
    virtual bool DestroyIcon(IconHandle icon) = 0;
    virtual bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData* data) = 0;
    virtual bool GetCursorPos(Point* point) = 0;
    virtual MenuHandle LoadMenuA(ModuleHandle instance, std::uint32_t resourceId) = 0;
    virtual MenuHandle GetSubMenu(MenuHandle menu, std::int32_t position) = 0;
    virtual std::int32_t EnableMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t flags) = 0;
    // Returns the item's previous check state, 0xFFFFFFFF when there is no such item.
    virtual std::uint32_t CheckMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t check) = 0;
    // Returns the chosen command id with TPM_RETURNCMD, else nonzero on success.
    virtual std::int32_t TrackPopupMenu(MenuHandle menu, std::uint32_t flags, std::int32_t x,
                                        std::int32_t y, std::int32_t reserved, WindowHandle owner,
                                        const void* rect) = 0;
    virtual bool DestroyMenu(MenuHandle menu) = 0;
    // A special folder (kCsidlStartup...) into `path`, kMaxPath bytes; an HRESULT, kSOk when it
    // names the folder.
    virtual std::int32_t SHGetFolderPathA(WindowHandle owner, std::int32_t folder,
                                          KernelHandle token, std::uint32_t flags, char* path) = 0;
    // Saves a shortcut to the program `target`, started in `workingFolder`, as the file
    // `linkPath`: the shell's link object (IShellLinkA's SetPath and SetWorkingDirectory), saved
    // through its IPersistFile. An HRESULT; on failure no file is left at `linkPath`.
    virtual std::int32_t SaveShellLinkA(const char* linkPath, const char* target,
                                        const char* workingFolder) = 0;
};

// Everything the program asks of its platform.
class Platform : public ErrorApi,
                 public HotkeyApi,
                 public KeyboardApi,
                 public FileApi,
                 public TextApi,
                 public SoundApi,
                 public SystemApi,
                 public ResourceApi,
                 public WindowApi,
                 public GdiApi,
                 public ShellApi,
                 public ClipboardApi,
                 public DialogApi {};

}  // namespace pavix
