// The Win32 backend: every platform call goes straight to the Win32 function of the same name
// with the same arguments; handles and records only change their type on the way. Nothing is
// decided here, so that every decision stays in the core, where the native tests reach it.
//
// The calls that only newer systems have are looked up when called (display_calls.cpp).
//
// Four calls carry more than their portable arguments:
// - CreateWindowExA passes `handler` as the creation parameter; the window procedure of classes
//   registered with RegisterClassExA keeps it from WM_NCCREATE on and forwards every later message
//   to it (messages before WM_NCCREATE go to DefWindowProcA).
// - DialogBoxParamA passes `dialog` as the dialog's initialisation parameter instead of
//   `initParam`, which Pavix always leaves 0; the dialog procedure keeps the handler from
//   WM_INITDIALOG on and forwards every message from then on, so the handler sees its own address
//   as the lParam of WM_INITDIALOG. WM_NOTIFY reaches it with its record in portable form.
// - CreateDialogParamA passes `dialog` in the same way, for a dialog without a modal loop.
// - RegisterClassExA turns the class's background colour number into the brush the platform
//   takes for it (the colour + 1, as a brush handle).
#pragma once

#include "platform/platform.h"

namespace pavix {

class Win32Platform final : public Platform {
  public:
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
    // Without kFormatMessageAllocateBuffer, *allocated is the caller's buffer of `size` bytes.
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
    bool PeekMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                      std::uint32_t filterMax, std::uint32_t removeFlags) override;
    // Up to MAXIMUM_WAIT_OBJECTS - 1 handles, as the platform takes them.
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
    std::int32_t MapWindowPoints(WindowHandle from, WindowHandle to, Point* points,
                                 std::uint32_t count) override;
    // Passes `dialog` as DialogBoxParamA does.
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
    MemoryHandle SetClipboardData(std::uint32_t format, MemoryHandle data) override;
    bool CloseClipboard() override;
    MemoryHandle GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    void* GlobalLock(MemoryHandle memory) override;
    bool GlobalUnlock(MemoryHandle memory) override;
    MemoryHandle GlobalFree(MemoryHandle memory) override;
    // --- DialogApi -----------------------------------------------------------------------------
    WindowHandle GetDlgItem(WindowHandle dialog, std::int32_t id) override;
    // LVM_INSERTCOLUMNA and LVM_SETITEMSTATE get their records rebuilt as LVCOLUMNA and LVITEMA.
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
    // With OFN_ENABLEHOOK the dialog gets a hook that leaves every message to it.
    bool GetOpenFileNameA(OpenFileName* openFileName) override;
    bool GetSaveFileNameA(OpenFileName* openFileName) override;
};

}  // namespace pavix
