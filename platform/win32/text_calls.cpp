// Code page conversions. UTF-16 travels as char16_t in the core and as WCHAR here: both are
// 16-bit units of the same values, so only the pointer type changes.
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {

std::int32_t Win32Platform::MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                                const char* multiByte, std::int32_t multiByteCount,
                                                char16_t* wide, std::int32_t wideCount) {
    return ::MultiByteToWideChar(codePage, flags, multiByte, multiByteCount,
                                 reinterpret_cast<WCHAR*>(wide), wideCount);
}

std::int32_t Win32Platform::WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                                const char16_t* wide, std::int32_t wideCount,
                                                char* multiByte, std::int32_t multiByteCount,
                                                const char* defaultChar, bool* usedDefaultChar) {
    BOOL used = FALSE;
    const int written = ::WideCharToMultiByte(codePage, flags, reinterpret_cast<const WCHAR*>(wide),
                                              wideCount, multiByte, multiByteCount, defaultChar,
                                              usedDefaultChar != nullptr ? &used : nullptr);
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = used != FALSE;
    }
    return written;
}

}  // namespace pavix
