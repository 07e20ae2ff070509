// Numeric values of the platform's flags and messages that Pavix passes, under portable names.
// The Win32 backend checks each against its macro at compile time.
#pragma once

#include <cstdint>

namespace pavix {

// Hotkey modifiers (MOD_*).
constexpr std::uint32_t kModAlt = 0x0001;
constexpr std::uint32_t kModControl = 0x0002;
constexpr std::uint32_t kModShift = 0x0004;
constexpr std::uint32_t kModWin = 0x0008;

// Files.
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kCreateNew = 1;
constexpr std::uint32_t kCreateAlways = 2;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::uint32_t kFileAttributeNormal = 0x80;
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
constexpr std::uint32_t kMoveFileReplaceExisting = 0x1;
constexpr std::uint32_t kMoveFileWriteThrough = 0x8;
// Change notifications on a folder (FILE_NOTIFY_CHANGE_*).
constexpr std::uint32_t kFileNotifyChangeFileName = 0x1;
constexpr std::uint32_t kFileNotifyChangeSize = 0x8;
constexpr std::uint32_t kFileNotifyChangeLastWrite = 0x10;

// Waiting (MsgWaitForMultipleObjectsEx).
constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
constexpr std::uint32_t kWaitObject0 = 0;
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;
constexpr std::uint32_t kQsAllInput = 0x04FF;

// Code pages.
constexpr std::uint32_t kCpAcp = 0;
constexpr std::uint32_t kMbErrInvalidChars = 0x8;
constexpr std::uint32_t kWcNoBestFitChars = 0x400;

// Sound.
constexpr std::uint32_t kSndAsync = 0x0001;
constexpr std::uint32_t kSndNoWait = 0x2000;
constexpr std::uint32_t kSndFilename = 0x20000;
constexpr std::uint32_t kPlayFileAsync = kSndFilename | kSndAsync | kSndNoWait;  // 0x22001

// Message boxes and beeps.
constexpr std::uint32_t kMbOk = 0x0;
constexpr std::uint32_t kMbIconError = 0x10;
constexpr std::uint32_t kMbIconAsterisk = 0x40;
constexpr std::uint32_t kSimpleBeep = 0xFFFFFFFFu;
constexpr std::int32_t kIdOk = 1;
constexpr std::int32_t kIdCancel = 2;
// The class of the system's dialog windows: message boxes, file dialogs, and Pavix's own.
constexpr const char* kDialogClass = "#32770";
constexpr std::uint32_t kGwOwner = 4;

// Shutdown and power.
constexpr std::uint32_t kEwxLogoff = 0;
constexpr std::uint32_t kEwxReboot = 2;
constexpr std::uint32_t kEwxForce = 4;
constexpr std::uint32_t kEwxPowerOff = 8;
constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x08;
constexpr std::uint32_t kSePrivilegeEnabled = 0x2;
constexpr std::uint32_t kVerPlatformWin32s = 0;
constexpr std::uint32_t kVerPlatformWin32Windows = 1;
constexpr std::uint32_t kVerPlatformWin32Nt = 2;

// Shell and error texts.
constexpr std::int32_t kSwShow = 5;
constexpr std::uint32_t kFormatMessageAllocateBuffer = 0x0100;
constexpr std::uint32_t kFormatMessageIgnoreInserts = 0x0200;
constexpr std::uint32_t kFormatMessageFromSystem = 0x1000;
constexpr std::uint32_t kLangUserDefault = 0x0400;

// Window messages.
constexpr std::uint32_t kWmNull = 0x0000;
constexpr std::uint32_t kWmCreate = 0x0001;
constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::uint32_t kWmInitDialog = 0x0110;
constexpr std::uint32_t kWmCommand = 0x0111;
constexpr std::uint32_t kWmSysCommand = 0x0112;
constexpr std::uint32_t kWmTimer = 0x0113;
constexpr std::uint32_t kWmQuit = 0x0012;
constexpr std::uint32_t kPmRemove = 0x0001;
constexpr std::uint32_t kWmSetFont = 0x0030;
constexpr std::uint32_t kWmMouseActivate = 0x0021;
constexpr std::intptr_t kMaNoActivate = 3;
constexpr std::uint32_t kWmNotify = 0x004E;
constexpr std::uint32_t kWmHotkey = 0x0312;
constexpr std::uint32_t kWmApp = 0x8000;
constexpr std::uint32_t kWmLButtonDown = 0x0201;
constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kWmRButtonDown = 0x0204;
constexpr std::uint32_t kScTaskList = 0xF130;
constexpr std::uint32_t kScScreenSave = 0xF140;

// Windows, timers, tray and menus.
constexpr std::uint32_t kWsOverlappedWindow = 0x00CF0000;
constexpr std::uint32_t kWsPopup = 0x80000000u;
constexpr std::uint32_t kWsChild = 0x40000000;
constexpr std::uint32_t kWsVisible = 0x10000000;
constexpr std::uint32_t kWsBorder = 0x00800000;
constexpr std::uint32_t kWsExTopmost = 0x00000008;
constexpr std::uint32_t kWsExToolWindow = 0x00000080;
constexpr std::uint32_t kWsExNoActivate = 0x08000000;
constexpr std::uint32_t kSsLeft = 0x0000;
constexpr std::uint32_t kSsNoPrefix = 0x0080;
constexpr std::int32_t kSwHide = 0;
constexpr std::int32_t kSwShowNoActivate = 4;
constexpr std::uint32_t kSpiGetWorkArea = 0x0030;
constexpr std::int32_t kDefaultGuiFont = 17;
constexpr std::uint32_t kColorBtnFace = 15;
constexpr std::int32_t kSmCxScreen = 0;
constexpr std::int32_t kSmCyScreen = 1;
constexpr std::int32_t kCwUseDefault = static_cast<std::int32_t>(0x80000000u);
constexpr std::uint32_t kIdcArrow = 32512;
constexpr std::uint32_t kIccBarClasses = 0x0004;
constexpr std::uint32_t kIccCoolClasses = 0x0400;
constexpr std::uint32_t kInitCommonControlsExSize = 8;
constexpr std::int32_t kSmCxIcon = 11;
constexpr std::int32_t kSmCyIcon = 12;
constexpr std::int32_t kSmCxVScroll = 2;
constexpr std::int32_t kSmCxSmIcon = 49;
constexpr std::int32_t kSmCySmIcon = 50;
constexpr std::int32_t kLogPixelsY = 90;  // GetDeviceCaps
constexpr std::uint32_t kStandardDpi = 96;
constexpr std::uint32_t kMonitorDefaultToPrimary = 1;
constexpr std::uint32_t kMdtEffectiveDpi = 0;  // GetDpiForMonitor
constexpr std::uint32_t kWmDpiChanged = 0x02E0;
// ChangeWindowMessageFilterEx's action, and ChangeWindowMessageFilter's flag.
constexpr std::uint32_t kMsgfltAllow = 1;
constexpr std::uint32_t kMsgfltAdd = 1;
constexpr std::uint32_t kImageIcon = 1;
constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimModify = 1;
constexpr std::uint32_t kNimDelete = 2;
constexpr std::uint32_t kNifMessage = 0x1;
constexpr std::uint32_t kNifIcon = 0x2;
constexpr std::uint32_t kNifTip = 0x4;
// NOTIFYICONDATAA before version 5: 88 bytes in a 32-bit program, 104 in a 64-bit one.
constexpr std::uint32_t kNotifyIconDataSize = sizeof(void*) == 4 ? 88 : 104;
constexpr std::uint32_t kMfByCommand = 0x0;
constexpr std::uint32_t kMfEnabled = 0x0;
constexpr std::uint32_t kMfGrayed = 0x1;
constexpr std::uint32_t kMfUnchecked = 0x0;
constexpr std::uint32_t kMfChecked = 0x8;
constexpr std::uint32_t kTpmRightButton = 0x0002;
constexpr std::int32_t kCsidlStartup = 0x0007;
constexpr std::int32_t kCsidlFlagCreate = 0x8000;
constexpr std::uint32_t kShgfpTypeCurrent = 0;
constexpr std::int32_t kSOk = 0;
constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);
constexpr std::uint32_t kWsTabStop = 0x00010000;
constexpr std::uint32_t kWsExClientEdge = 0x00000200;
constexpr std::int32_t kSwRestore = 9;

// The keyboard: messages, what a control asks of the dialog manager, and the keys Pavix names.
constexpr std::uint32_t kWmSetFocus = 0x0007;
constexpr std::uint32_t kWmKillFocus = 0x0008;
constexpr std::uint32_t kWmGetFont = 0x0031;
constexpr std::uint32_t kWmGetDlgCode = 0x0087;
constexpr std::uint32_t kWmKeyDown = 0x0100;
constexpr std::uint32_t kWmKeyUp = 0x0101;
constexpr std::uint32_t kWmChar = 0x0102;
constexpr std::uint32_t kWmDeadChar = 0x0103;
constexpr std::uint32_t kWmSysKeyDown = 0x0104;
constexpr std::uint32_t kWmSysKeyUp = 0x0105;
constexpr std::uint32_t kWmSysChar = 0x0106;
constexpr std::uint32_t kWmSysDeadChar = 0x0107;
constexpr std::intptr_t kDlgcWantAllKeys = 0x0004;
constexpr std::intptr_t kDlgcWantChars = 0x0080;
// Bit 30 of a key message's lParam: the key was down before (an auto-repeat).
constexpr std::intptr_t kKeyWasDown = 0x40000000;
constexpr std::int32_t kVkShift = 0x10;
constexpr std::int32_t kVkControl = 0x11;
constexpr std::int32_t kVkMenu = 0x12;
constexpr std::int32_t kVkLWin = 0x5B;
constexpr std::int32_t kVkRWin = 0x5C;
constexpr std::int32_t kVkLShift = 0xA0;
constexpr std::int32_t kVkRMenu = 0xA5;
constexpr std::int32_t kVkProcessKey = 0xE5;
constexpr std::int32_t kVkPacket = 0xE7;

// The clipboard.
constexpr std::uint32_t kCfText = 1;
constexpr std::uint32_t kGmemMoveable = 0x0002;

// Error codes.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorSharingViolation = 32;
constexpr std::uint32_t kErrorHandleDiskFull = 39;
constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotSupported = 50;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorFilenameExcedRange = 206;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorInvalidFlags = 1004;
constexpr std::uint32_t kErrorNoUnicodeTranslation = 1113;
constexpr std::uint32_t kErrorNotAllAssigned = 1300;
constexpr std::uint32_t kErrorProcNotFound = 127;
constexpr std::uint32_t kErrorHotkeyAlreadyRegistered = 1409;

}  // namespace pavix
