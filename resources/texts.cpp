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
    return FillIn(std::string_view(text), {value});
}

std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string filled;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (text[at] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            filled += values.begin()[index];
            ++at;
        } else {
            filled += text[at];
        }
    }
    return filled;
}

void ShowError(Platform& platform, const std::string& text) {
    const std::string caption = LoadText(platform, ids::kTextErrorCaption);
    platform.MessageBoxA(0, text.c_str(), caption.c_str(), kMbOk | kMbIconError);
}

void ShowErrorText(Platform& platform, std::uint32_t id) {
    ShowError(platform, LoadText(platform, id));
}

}  // namespace pavix
