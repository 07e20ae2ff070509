// Texts: the code pages, the program's own texts in the user's language, key names and boxes.
#include <cstring>
#include <string_view>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/native_code_page.h"
#include "platform/linux/x11/x_hotkeys.h"

namespace pavix {
namespace {

constexpr std::uint32_t kCpUtf8 = 65001;
constexpr std::uint32_t kMapVirtualKeyToScanCode = 0;

bool IsUtf8(std::uint32_t codePage) {
    return codePage == kCpAcp || codePage == kCpUtf8;
}

// A text of a code page in UTF-8; empty when the code page is unknown or the text is not one.
bool ToUtf8(std::uint32_t codePage, std::string_view bytes, std::string& utf8) {
    if (IsUtf8(codePage)) {
        std::u16string ignored;
        utf8.assign(bytes);
        return DecodeUtf8(bytes, ignored);
    }
    const std::unique_ptr<NativeCodePage> native = MakeNativeCodePage(codePage);
    return native != nullptr && native->ToUtf8(bytes, utf8);
}

std::int32_t CopyText(const std::string& text, char* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<std::int32_t>(length);
}

}  // namespace

std::int32_t LinuxPlatform::MultiByteToWideChar(std::uint32_t codePage, std::uint32_t,
                                                const char* multiByte, std::int32_t multiByteCount,
                                                char16_t* wide, std::int32_t wideCount) {
    const std::size_t count =
        multiByteCount < 0 ? std::strlen(multiByte) + 1 : static_cast<std::size_t>(multiByteCount);
    std::string utf8;
    std::u16string utf16;
    // The terminator of a counted-out text converts like any character.
    if (!ToUtf8(codePage, std::string_view(multiByte, count), utf8) || !DecodeUtf8(utf8, utf16)) {
        files_.SetLastError(MakeNativeCodePage(codePage) == nullptr && !IsUtf8(codePage)
                                ? kErrorInvalidParameter
                                : kErrorNoUnicodeTranslation);
        return 0;
    }
    const auto needed = static_cast<std::int32_t>(utf16.size());
    if (wideCount == 0) {
        return needed;
    }
    if (needed > wideCount) {
        files_.SetLastError(kErrorInsufficientBuffer);
        return 0;
    }
    std::memcpy(wide, utf16.data(), utf16.size() * sizeof(char16_t));
    return needed;
}

std::int32_t LinuxPlatform::WideCharToMultiByte(std::uint32_t codePage, std::uint32_t,
                                                const char16_t* wide, std::int32_t wideCount,
                                                char* multiByte, std::int32_t multiByteCount,
                                                const char*, bool* usedDefaultChar) {
    const std::size_t count = wideCount < 0 ? std::char_traits<char16_t>::length(wide) + 1
                                            : static_cast<std::size_t>(wideCount);
    std::string utf8;
    if (!EncodeUtf8(std::u16string_view(wide, count), utf8)) {
        files_.SetLastError(kErrorNoUnicodeTranslation);
        return 0;
    }
    std::string bytes = utf8;
    bool held = true;
    if (!IsUtf8(codePage)) {
        const std::unique_ptr<NativeCodePage> native = MakeNativeCodePage(codePage);
        if (native == nullptr) {
            files_.SetLastError(kErrorInvalidParameter);
            return 0;
        }
        held = native->FromUtf8(utf8, bytes);
    }
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = !held;
    }
    const auto needed = static_cast<std::int32_t>(bytes.size());
    if (multiByteCount == 0) {
        return needed;
    }
    if (needed > multiByteCount) {
        files_.SetLastError(kErrorInsufficientBuffer);
        return 0;
    }
    std::memcpy(multiByte, bytes.data(), bytes.size());
    return needed;
}

// The executable's texts are in the code page of their language; shown, they are UTF-8.
std::string LinuxPlatform::Text(std::uint32_t id) const {
    const char* raw = resources_.findString ? resources_.findString(places_.japanese, id) : nullptr;
    std::string utf8;
    if (raw == nullptr ||
        !ToUtf8(places_.japanese ? kJapaneseCodePage : kWesternCodePage, raw, utf8)) {
        return "";
    }
    return utf8;
}

std::string LinuxPlatform::MenuText(std::uint32_t commandId) const {
    const char* raw =
        resources_.findMenuText ? resources_.findMenuText(places_.japanese, commandId) : nullptr;
    std::string utf8;
    if (raw == nullptr ||
        !ToUtf8(places_.japanese ? kJapaneseCodePage : kWesternCodePage, raw, utf8)) {
        return "";
    }
    return utf8;
}

std::int32_t LinuxPlatform::LoadStringA(ModuleHandle, std::uint32_t id, char* buffer,
                                        std::int32_t bufferMax) {
    return CopyText(Text(id), buffer, bufferMax);
}

// Without an X connection (a Wayland session without Xwayland) the keys are the desktop's: the
// same key codes, read through the toolkit.
std::uint32_t LinuxPlatform::MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) {
    if (mapType != kMapVirtualKeyToScanCode) {
        return 0;
    }
    if (hotkeys_) {
        return static_cast<std::uint32_t>(hotkeys_->KeycodeOf(code));
    }
    return Gui() != nullptr ? static_cast<std::uint32_t>(module_->KeycodeOf(code)) : 0;
}

std::int32_t LinuxPlatform::GetKeyNameTextA(std::int32_t lParam, char* buffer, std::int32_t size) {
    const int keycode = (lParam >> 16) & 0xFF;
    const std::string name = hotkeys_           ? hotkeys_->KeyName(keycode)
                             : Gui() != nullptr ? module_->KeyName(keycode)
                                                : std::string();
    return CopyText(name, buffer, size);
}

std::int32_t LinuxPlatform::MessageBoxA(WindowHandle, const char* text, const char* caption,
                                        std::uint32_t type) {
    if (Gui() == nullptr) {
        return 0;
    }
    bool answered = false;
    void* box = Gui()->ShowBox(text != nullptr ? text : "", caption != nullptr ? caption : "", type,
                               &answered);
    PumpUntil(answered);
    desktop_->CloseBox(box);
    return kIdOk;
}

}  // namespace pavix
