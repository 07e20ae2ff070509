#include "storage/code_page.h"

#include <limits>

#include "platform/constants.h"

namespace pavix {
namespace {

constexpr std::size_t kLargestCall = static_cast<std::size_t>(std::numeric_limits<int>::max());

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// One character of UTF-8 from `at` on; false for anything but the shortest form of a scalar value.
bool DecodeUtf8(std::string_view utf8, std::size_t& at, char32_t& code) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    std::size_t length = 0;
    if (lead < 0x80) {
        length = 1;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        length = 2;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
    }
    if (length == 0 || utf8.size() - at < length) {
        return false;
    }
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[at + i]);
        if (!IsContinuation(byte)) {
            return false;
        }
        code = code << 6 | (byte & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
        return false;
    }
    at += length;
    return true;
}

void EncodeUtf8(char32_t code, std::string& utf8) {
    if (code < 0x80) {
        utf8 += static_cast<char>(code);
        return;
    }
    const int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    constexpr unsigned char kLeads[] = {0, 0, 0xC0, 0xE0, 0xF0};
    utf8 += static_cast<char>(kLeads[length] | (code >> (6 * (length - 1))));
    for (int shift = 6 * (length - 2); shift >= 0; shift -= 6) {
        utf8 += static_cast<char>(0x80 | ((code >> shift) & 0x3F));
    }
}

}  // namespace

bool Utf8ToUtf16(std::string_view utf8, std::u16string& utf16) {
    utf16.clear();
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t code = 0;
        if (!DecodeUtf8(utf8, at, code)) {
            return false;
        }
        if (code < 0x10000) {
            utf16 += static_cast<char16_t>(code);
        } else {
            code -= 0x10000;
            utf16 += static_cast<char16_t>(0xD800 + (code >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        }
    }
    return true;
}

bool Utf16ToUtf8(std::u16string_view utf16, std::string& utf8) {
    utf8.clear();
    for (std::size_t at = 0; at < utf16.size(); ++at) {
        char32_t code = utf16[at];
        if (code >= 0xDC00 && code < 0xE000) {
            return false;
        }
        if (code >= 0xD800 && code < 0xDC00) {
            if (at + 1 == utf16.size() || utf16[at + 1] < 0xDC00 || utf16[at + 1] >= 0xE000) {
                return false;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++at] - 0xDC00);
        }
        EncodeUtf8(code, utf8);
    }
    return true;
}

// Strict both ways: bytes that the code page does not define fail, and so does a character that
// it could only hold as a look-alike (no best fit), so that a text never changes on the way.
bool SystemCodePage::ToUtf8(std::string_view bytes, std::string& utf8) {
    utf8.clear();
    if (bytes.empty()) {
        return true;
    }
    if (bytes.size() > kLargestCall) {
        return false;
    }
    const auto count = static_cast<std::int32_t>(bytes.size());
    const std::int32_t units =
        text_.MultiByteToWideChar(kCpAcp, kMbErrInvalidChars, bytes.data(), count, nullptr, 0);
    if (units <= 0) {
        return false;
    }
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    if (text_.MultiByteToWideChar(kCpAcp, kMbErrInvalidChars, bytes.data(), count, &wide[0],
                                  units) != units) {
        return false;
    }
    return Utf16ToUtf8(wide, utf8);
}

bool SystemCodePage::FromUtf8(std::string_view utf8, std::string& bytes) {
    bytes.clear();
    std::u16string wide;
    if (!Utf8ToUtf16(utf8, wide) || wide.size() > kLargestCall) {
        return false;
    }
    if (wide.empty()) {
        return true;
    }
    const auto count = static_cast<std::int32_t>(wide.size());
    bool usedDefault = false;
    std::uint32_t flags = kWcNoBestFitChars;
    bool* used = &usedDefault;
    std::int32_t size =
        text_.WideCharToMultiByte(kCpAcp, flags, wide.data(), count, nullptr, 0, nullptr, used);
    const std::uint32_t error = size <= 0 ? errors_.GetLastError() : kErrorSuccess;
    if (error == kErrorInvalidParameter || error == kErrorInvalidFlags) {
        // An ANSI code page of UTF-8 takes neither the flag nor the question; it holds everything.
        flags = 0;
        used = nullptr;
        size =
            text_.WideCharToMultiByte(kCpAcp, flags, wide.data(), count, nullptr, 0, nullptr, used);
    }
    if (size <= 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    usedDefault = false;
    if (text_.WideCharToMultiByte(kCpAcp, flags, wide.data(), count, &bytes[0], size, nullptr,
                                  used) != size) {
        bytes.clear();
        return false;
    }
    return !usedDefault;
}

}  // namespace pavix
