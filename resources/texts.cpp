#include "resources/texts.h"

#include <vector>

#include "platform/constants.h"
#include "resources/ids.h"

namespace pavix {
namespace {

constexpr std::int32_t kTextChunk = 256;
// LoadStringA truncates silently, so a text that leaves fewer than this many bytes free may have
// been cut and is read again into a larger buffer.
constexpr std::int32_t kTextSlack = 3;

}  // namespace

std::string LoadText(Platform& platform, std::uint32_t id) {
    const ModuleHandle instance = platform.GetModuleHandleA(nullptr);
    std::vector<char> buffer;
    std::int32_t length = 0;
    for (std::int32_t size = kTextChunk;; size += kTextChunk) {
        buffer.assign(static_cast<std::size_t>(size), '\0');
        length = platform.LoadStringA(instance, id, buffer.data(), size);
        if (length <= 0) {
            return std::string();
        }
        if (size - length >= kTextSlack) {
            break;
        }
    }
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::string FillIn(std::string text, const std::string& value) {
    constexpr char kPlaceholder[] = "%1";
    // Searching on after the value keeps a "%1" inside it as it is.
    for (std::size_t at = text.find(kPlaceholder); at != std::string::npos;
         at = text.find(kPlaceholder, at + value.size())) {
        text.replace(at, sizeof kPlaceholder - 1, value);
    }
    return text;
}

void ShowError(Platform& platform, const std::string& text) {
    const std::string caption = LoadText(platform, ids::kTextErrorCaption);
    platform.MessageBoxA(0, text.c_str(), caption.c_str(), kMbOk | kMbIconError);
}

void ShowErrorText(Platform& platform, std::uint32_t id) {
    ShowError(platform, LoadText(platform, id));
}

}  // namespace pavix
