#include "platform/linux/desktop/dialog_layout.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace pavix {
namespace {

constexpr std::int32_t kLabelLineHeight = 8;  // dialog units of one line of a label

// (value * numerator) / denominator, rounded half away from zero.
std::int32_t MulDiv(std::int32_t value, std::int32_t numerator, std::int32_t denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<std::int32_t>((product >= 0 ? product + half : product - half) /
                                     denominator);
}

bool Contains(const ControlTemplate& outer, const ControlTemplate& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

bool HasText(const ControlTemplate& control) {
    return control.text != nullptr && control.text[0] != '\0';
}

}  // namespace

bool IsMultiLine(const ControlTemplate& control) {
    return control.kind == ControlKind::kLabel &&
           (control.height > kLabelLineHeight || std::strchr(control.text, '\n') != nullptr);
}

std::int32_t WrapChars(std::int32_t widthPixels, std::int32_t charWidth, std::int32_t scale) {
    if (charWidth <= 0 || widthPixels <= 0) {
        return 1;
    }
    const std::int64_t chars = static_cast<std::int64_t>(widthPixels) * scale / charWidth;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(chars, 1, std::numeric_limits<std::int32_t>::max()));
}

BaseUnits ChooseBaseUnits(const DialogTemplate& dialog, Size font,
                          const std::vector<std::int32_t>& naturalWidths) {
    BaseUnits units{std::max<std::int32_t>(font.cx, 1), std::max<std::int32_t>(font.cy, 1)};
    for (std::size_t index = 0; index < dialog.controlCount && index < naturalWidths.size();
         ++index) {
        const ControlTemplate& control = dialog.controls[index];
        if (naturalWidths[index] <= 0 || control.width <= 0 || IsMultiLine(control)) {
            continue;
        }
        // The smallest x whose ToPixels width holds the text.
        std::int32_t needed = (naturalWidths[index] * 4 + control.width - 1) / control.width;
        while (needed > 1 && MulDiv(control.width, needed - 1, 4) >= naturalWidths[index]) {
            --needed;
        }
        units.x = std::max(units.x, needed);
    }
    return units;
}

Rect ToPixels(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              BaseUnits units) {
    const std::int32_t left = MulDiv(x, units.x, 4);
    const std::int32_t top = MulDiv(y, units.y, 8);
    return Rect{left, top, left + MulDiv(width, units.x, 4), top + MulDiv(height, units.y, 8)};
}

namespace {

std::string ConvertAccessKeys(const std::string& text, bool marked) {
    std::string converted;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '&' && at + 1 < text.size()) {
            ++at;  // the next character stands for itself, marked unless it is a second "&"
            if (marked && text[at] != '&') {
                converted += '_';
            }
            converted += marked && text[at] == '_' ? "__" : std::string(1, text[at]);
        } else if (c == '_' && marked) {
            converted += "__";
        } else {
            converted += c;
        }
    }
    return converted;
}

}  // namespace

std::string MnemonicText(const std::string& text) {
    return ConvertAccessKeys(text, true);
}

std::string PlainText(const std::string& text) {
    return ConvertAccessKeys(text, false);
}

std::vector<std::string> AccessibleNames(const DialogTemplate& dialog) {
    std::vector<std::string> names;
    for (std::size_t index = 0; index < dialog.controlCount; ++index) {
        const ControlTemplate& control = dialog.controls[index];
        if (HasText(control)) {
            names.push_back(PlainText(control.text));
            continue;
        }
        const ControlTemplate* before = index > 0 ? &dialog.controls[index - 1] : nullptr;
        if (before != nullptr && before->kind == ControlKind::kLabel && HasText(*before)) {
            names.push_back(PlainText(before->text));
            continue;
        }
        const ControlTemplate* group = nullptr;
        for (std::size_t other = 0; other < dialog.controlCount; ++other) {
            const ControlTemplate& box = dialog.controls[other];
            if (box.kind == ControlKind::kGroup && HasText(box) && Contains(box, control) &&
                (group == nullptr || Contains(*group, box))) {
                group = &box;
            }
        }
        names.push_back(PlainText(group != nullptr ? group->text : dialog.title));
    }
    return names;
}

bool ParseDialogNumber(const std::string& text, bool isSigned, std::uint32_t* value) {
    std::size_t at = text.find_first_not_of(' ');
    const std::size_t end = text.find_last_not_of(' ');
    if (at == std::string::npos) {
        return false;
    }
    const bool negative = isSigned && text[at] == '-';
    at += negative ? 1 : 0;
    if (at > end) {
        return false;
    }
    std::uint64_t number = 0;
    for (; at <= end; ++at) {
        if (text[at] < '0' || text[at] > '9') {
            return false;
        }
        number = number * 10 + static_cast<std::uint64_t>(text[at] - '0');
        if (number > (isSigned ? (negative ? 0x80000000ull : 0x7FFFFFFFull) : 0xFFFFFFFFull)) {
            return false;
        }
    }
    *value = static_cast<std::uint32_t>(negative ? 0 - number : number);
    return true;
}

std::string WithDefaultExtension(const std::string& path, const char* extension) {
    if (extension == nullptr || *extension == '\0') {
        return path;
    }
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasOne = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return hasOne ? path : path + "." + extension;
}

}  // namespace pavix
