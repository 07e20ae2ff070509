// The portable constants and records carry Win32's own values and layouts; the compiler checks
// each one here against the SDK, so the backend can pass them through untouched.
#include <cstddef>

#include "platform/constants.h"
#include "platform/dialog_api.h"
#include "platform/types.h"
#include "platform/win32/native.h"

namespace pavix::win32 {
namespace {

// Hotkey modifiers.
static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL);
static_assert(kModShift == MOD_SHIFT && kModWin == MOD_WIN);

// Files.
static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE);
static_assert(kCreateNew == CREATE_NEW && kCreateAlways == CREATE_ALWAYS &&
              kOpenExisting == OPEN_EXISTING);
static_assert(kFileAttributeNormal == FILE_ATTRIBUTE_NORMAL);
static_assert(kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(kMoveFileReplaceExisting == MOVEFILE_REPLACE_EXISTING);
static_assert(kMoveFileWriteThrough == MOVEFILE_WRITE_THROUGH);
static_assert(kMaxPath == MAX_PATH);
static_assert(kFileNotifyChangeFileName == FILE_NOTIFY_CHANGE_FILE_NAME &&
              kFileNotifyChangeSize == FILE_NOTIFY_CHANGE_SIZE &&
              kFileNotifyChangeLastWrite == FILE_NOTIFY_CHANGE_LAST_WRITE);
static_assert(kInfinite == INFINITE && kWaitObject0 == WAIT_OBJECT_0 && kWaitFailed == WAIT_FAILED);
static_assert(kQsAllInput == QS_ALLINPUT && kWmQuit == WM_QUIT && kPmRemove == PM_REMOVE);

// Code pages; UTF-16 travels as char16_t in the core and as WCHAR in the backend.
static_assert(kCpAcp == CP_ACP && kMbErrInvalidChars == MB_ERR_INVALID_CHARS);
static_assert(kWcNoBestFitChars == WC_NO_BEST_FIT_CHARS);
static_assert(sizeof(char16_t) == sizeof(WCHAR));

// Sound.
static_assert(kSndAsync == SND_ASYNC && kSndNoWait == SND_NOWAIT);
static_assert(kSndFilename == SND_FILENAME);
static_assert(kPlayFileAsync == (SND_FILENAME | SND_ASYNC | SND_NOWAIT));

// Message boxes and beeps; MessageBeep documents 0xFFFFFFFF as the simple beep without a macro.
static_assert(kMbOk == MB_OK && kMbIconError == MB_ICONERROR);
static_assert(kMbIconAsterisk == MB_ICONASTERISK);
static_assert(kSimpleBeep == static_cast<UINT>(-1));
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL && kGwOwner == GW_OWNER);

// Shutdown and power.
static_assert(kEwxLogoff == EWX_LOGOFF && kEwxReboot == EWX_REBOOT);
static_assert(kEwxForce == EWX_FORCE && kEwxPowerOff == EWX_POWEROFF);
static_assert(kTokenAdjustPrivileges == TOKEN_ADJUST_PRIVILEGES && kTokenQuery == TOKEN_QUERY);
static_assert(kSePrivilegeEnabled == SE_PRIVILEGE_ENABLED);
static_assert(kVerPlatformWin32s == VER_PLATFORM_WIN32s);
static_assert(kVerPlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS);
static_assert(kVerPlatformWin32Nt == VER_PLATFORM_WIN32_NT);

// Shell and error texts.
static_assert(kSwShow == SW_SHOW);
static_assert(kFormatMessageAllocateBuffer == FORMAT_MESSAGE_ALLOCATE_BUFFER);
static_assert(kFormatMessageIgnoreInserts == FORMAT_MESSAGE_IGNORE_INSERTS);
static_assert(kFormatMessageFromSystem == FORMAT_MESSAGE_FROM_SYSTEM);
static_assert(kLangUserDefault == MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT));

// Window messages and system commands.
static_assert(kWmNull == WM_NULL && kWmCreate == WM_CREATE && kWmDestroy == WM_DESTROY);
static_assert(kWmClose == WM_CLOSE && kWmInitDialog == WM_INITDIALOG);
static_assert(kWmCommand == WM_COMMAND && kWmSysCommand == WM_SYSCOMMAND);
static_assert(kWmTimer == WM_TIMER && kWmNotify == WM_NOTIFY && kWmHotkey == WM_HOTKEY);
static_assert(kWmSetFont == WM_SETFONT && kWmMouseActivate == WM_MOUSEACTIVATE);
static_assert(kMaNoActivate == MA_NOACTIVATE);
static_assert(kWmApp == WM_APP);
static_assert(kWmLButtonDown == WM_LBUTTONDOWN && kWmLButtonDblClk == WM_LBUTTONDBLCLK);
static_assert(kWmRButtonDown == WM_RBUTTONDOWN);
static_assert(kScTaskList == SC_TASKLIST && kScScreenSave == SC_SCREENSAVE);

// Windows, timers, tray and menus. IDC_ARROW, HWND_BROADCAST and INVALID_HANDLE_VALUE are
// pointers, which a constant expression cannot compare; the backend's tests check those three.
static_assert(kWsOverlappedWindow == WS_OVERLAPPEDWINDOW);
static_assert(kWsPopup == WS_POPUP && kWsChild == WS_CHILD && kWsVisible == WS_VISIBLE);
static_assert(kWsBorder == WS_BORDER && kWsExTopmost == WS_EX_TOPMOST);
static_assert(kWsExToolWindow == WS_EX_TOOLWINDOW && kWsExNoActivate == WS_EX_NOACTIVATE);
static_assert(kSsLeft == SS_LEFT && kSsNoPrefix == SS_NOPREFIX);
static_assert(kSwHide == SW_HIDE && kSwShowNoActivate == SW_SHOWNOACTIVATE);
static_assert(kSpiGetWorkArea == SPI_GETWORKAREA);
static_assert(kDefaultGuiFont == DEFAULT_GUI_FONT && kColorBtnFace == COLOR_BTNFACE);
static_assert(kSmCxScreen == SM_CXSCREEN && kSmCyScreen == SM_CYSCREEN);
static_assert(kCwUseDefault == CW_USEDEFAULT);
static_assert(kIccBarClasses == ICC_BAR_CLASSES && kIccCoolClasses == ICC_COOL_CLASSES);
static_assert(kInitCommonControlsExSize == sizeof(INITCOMMONCONTROLSEX));
static_assert(kSmCxIcon == SM_CXICON && kSmCyIcon == SM_CYICON);
static_assert(kSmCxVScroll == SM_CXVSCROLL);
static_assert(kSmCxSmIcon == SM_CXSMICON && kSmCySmIcon == SM_CYSMICON);
static_assert(kLogPixelsY == LOGPIXELSY && kMonitorDefaultToPrimary == MONITOR_DEFAULTTOPRIMARY);
// This SDK level predates the display scale and the message filter: their values by the book.
static_assert(kMdtEffectiveDpi == 0 && kWmDpiChanged == 0x02E0);
static_assert(kMsgfltAllow == 1 && kMsgfltAdd == 1);
static_assert(kErrorProcNotFound == ERROR_PROC_NOT_FOUND);
static_assert(kImageIcon == IMAGE_ICON);
static_assert(kNimAdd == NIM_ADD && kNimModify == NIM_MODIFY && kNimDelete == NIM_DELETE);
static_assert(kNifMessage == NIF_MESSAGE && kNifIcon == NIF_ICON && kNifTip == NIF_TIP);
static_assert(kNotifyIconDataSize == NOTIFYICONDATAA_V1_SIZE);
static_assert(kMfByCommand == MF_BYCOMMAND && kMfEnabled == MF_ENABLED);
static_assert(kMfGrayed == MF_GRAYED);
static_assert(kMfUnchecked == MF_UNCHECKED && kMfChecked == MF_CHECKED);
static_assert(kTpmRightButton == TPM_RIGHTBUTTON);
static_assert(kCsidlStartup == CSIDL_STARTUP && kCsidlFlagCreate == CSIDL_FLAG_CREATE);
static_assert(kShgfpTypeCurrent == SHGFP_TYPE_CURRENT && kSOk == S_OK && kEFail == E_FAIL);
static_assert(kWsTabStop == WS_TABSTOP && kWsExClientEdge == WS_EX_CLIENTEDGE);
static_assert(kSwRestore == SW_RESTORE);

// The keyboard.
static_assert(kWmSetFocus == WM_SETFOCUS && kWmKillFocus == WM_KILLFOCUS);
static_assert(kWmNextDlgCtl == WM_NEXTDLGCTL);
static_assert(kWmGetFont == WM_GETFONT && kWmGetDlgCode == WM_GETDLGCODE);
static_assert(kWmKeyDown == WM_KEYDOWN && kWmKeyUp == WM_KEYUP && kWmChar == WM_CHAR);
static_assert(kWmDeadChar == WM_DEADCHAR && kWmSysKeyDown == WM_SYSKEYDOWN);
static_assert(kWmSysKeyUp == WM_SYSKEYUP && kWmSysChar == WM_SYSCHAR);
static_assert(kWmSysDeadChar == WM_SYSDEADCHAR);
static_assert(kDlgcWantAllKeys == DLGC_WANTALLKEYS && kDlgcWantChars == DLGC_WANTCHARS);
static_assert(kVkShift == VK_SHIFT && kVkControl == VK_CONTROL && kVkMenu == VK_MENU);
static_assert(kVkLWin == VK_LWIN && kVkRWin == VK_RWIN);
static_assert(kVkLShift == VK_LSHIFT && kVkRMenu == VK_RMENU);
static_assert(kVkProcessKey == VK_PROCESSKEY && kVkPacket == VK_PACKET);

// The clipboard and the list view's key notification.
static_assert(kCfText == CF_TEXT && kGmemMoveable == GMEM_MOVEABLE);
static_assert(kEnChange == EN_CHANGE && kLvnKeyDown == static_cast<std::uint32_t>(LVN_KEYDOWN));

// MapWindowPoints converts the portable points in place.
static_assert(sizeof(Point) == sizeof(POINT) && offsetof(Point, y) == offsetof(POINT, y));

// Error codes.
static_assert(kErrorSuccess == ERROR_SUCCESS && kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorSharingViolation == ERROR_SHARING_VIOLATION);
static_assert(kErrorHandleDiskFull == ERROR_HANDLE_DISK_FULL);
static_assert(kErrorFileExists == ERROR_FILE_EXISTS);
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(kErrorInvalidHandle == ERROR_INVALID_HANDLE &&
              kErrorNotSupported == ERROR_NOT_SUPPORTED);
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(kErrorInvalidFlags == ERROR_INVALID_FLAGS);
static_assert(kErrorNoUnicodeTranslation == ERROR_NO_UNICODE_TRANSLATION);
static_assert(kErrorAlreadyExists == ERROR_ALREADY_EXISTS);
static_assert(kErrorFilenameExcedRange == ERROR_FILENAME_EXCED_RANGE);
static_assert(kErrorNotAllAssigned == ERROR_NOT_ALL_ASSIGNED);
static_assert(kErrorHotkeyAlreadyRegistered == ERROR_HOTKEY_ALREADY_REGISTERED);

// GetVersionExA writes straight into the portable record.
static_assert(sizeof(OsVersionInfo) == sizeof(OSVERSIONINFOA));
static_assert(offsetof(OsVersionInfo, size) == offsetof(OSVERSIONINFOA, dwOSVersionInfoSize));
static_assert(offsetof(OsVersionInfo, majorVersion) == offsetof(OSVERSIONINFOA, dwMajorVersion));
static_assert(offsetof(OsVersionInfo, minorVersion) == offsetof(OSVERSIONINFOA, dwMinorVersion));
static_assert(offsetof(OsVersionInfo, buildNumber) == offsetof(OSVERSIONINFOA, dwBuildNumber));
static_assert(offsetof(OsVersionInfo, platformId) == offsetof(OSVERSIONINFOA, dwPlatformId));
static_assert(offsetof(OsVersionInfo, csdVersion) == offsetof(OSVERSIONINFOA, szCSDVersion));
static_assert(sizeof(OsVersionInfo::csdVersion) == sizeof(OSVERSIONINFOA::szCSDVersion));

// SystemParametersInfoA(SPI_GETWORKAREA) writes straight into the portable record.
static_assert(sizeof(Rect) == sizeof(RECT));
static_assert(offsetof(Rect, left) == offsetof(RECT, left));
static_assert(offsetof(Rect, top) == offsetof(RECT, top));
static_assert(offsetof(Rect, right) == offsetof(RECT, right));
static_assert(offsetof(Rect, bottom) == offsetof(RECT, bottom));

// GetObjectA and CreateFontIndirectA take the portable font record as it is.
static_assert(sizeof(LogFont) == sizeof(LOGFONTA));
static_assert(offsetof(LogFont, weight) == offsetof(LOGFONTA, lfWeight));
static_assert(offsetof(LogFont, charSet) == offsetof(LOGFONTA, lfCharSet));
static_assert(offsetof(LogFont, faceName) == offsetof(LOGFONTA, lfFaceName));
static_assert(sizeof(MonitorInfo) == sizeof(MONITORINFO));

// The tray record is copied field by field into the native one, whose first fields it mirrors.
static_assert(sizeof(NotifyIconData) == NOTIFYICONDATAA_V1_SIZE);
static_assert(offsetof(NotifyIconData, szTip) == offsetof(NOTIFYICONDATAA, szTip));
static_assert(sizeof(NotifyIconData::szTip) == 64);

}  // namespace
}  // namespace pavix::win32
