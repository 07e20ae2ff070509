// Portable stand-ins for the handle and record types that the platform calls exchange.
// Values keep the platform's numbering so that the Win32 backend passes them straight through.
#pragma once

#include <cstdint>

namespace pavix {

using WindowHandle = std::uintptr_t;  // 0 is "no window"
using ModuleHandle = std::uintptr_t;  // 0 is "no module"
using MenuHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;
using DeviceContext = std::uintptr_t;  // HDC, 0 is "none"
using GdiObject = std::uintptr_t;      // HGDIOBJ: a font, a brush
using MonitorHandle = std::uintptr_t;  // HMONITOR, 0 is "none"
using MemoryHandle = std::uintptr_t;   // HGLOBAL, 0 is "none"
using KernelHandle = std::intptr_t;    // files, tokens, processes, mutexes
using FileHandle = KernelHandle;

constexpr FileHandle kInvalidHandleValue = -1;
constexpr WindowHandle kHwndBroadcast = 0xFFFF;
constexpr int kMaxPath = 260;

// OSVERSIONINFOA, 148 bytes.
struct OsVersionInfo {
    std::uint32_t size = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    char csdVersion[128] = {};
};
static_assert(sizeof(OsVersionInfo) == 148, "OSVERSIONINFOA layout");

// LUID and a TOKEN_PRIVILEGES holding exactly one privilege.
struct Luid {
    std::uint32_t lowPart = 0;
    std::int32_t highPart = 0;
};

struct TokenPrivilege {
    std::uint32_t privilegeCount = 1;
    Luid luid;
    std::uint32_t attributes = 0;
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// SIZE
struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// LOGFONTA, 60 bytes.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
};
static_assert(sizeof(LogFont) == 60, "LOGFONTA layout");

// NOTIFYICONDATAA without the version 5 fields (kNotifyIconDataSize bytes).
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconHandle hIcon = 0;
    char szTip[64] = {};
};

}  // namespace pavix
