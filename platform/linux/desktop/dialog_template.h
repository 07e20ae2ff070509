// A dialog template as the executable brings it: the dialog's title and size and its controls in
// tab order, in dialog units, with texts in UTF-8 for one language.
#pragma once

#include <cstdint>

namespace pavix {

enum class ControlKind : std::uint8_t {
    kGroup,
    kCheck,
    kRadio,
    kButton,
    kDefault,
    kPlain,
    kLabel,
    kEdit,
    kCombo,
    kList,
    kHotkey
};

// Styles beyond the kind's own that the host honours.
constexpr std::uint32_t kStyleGroupStart = 0x1;  // a new group of radio buttons starts here
constexpr std::uint32_t kStyleNoHeader = 0x2;    // a list without column headers
constexpr std::uint32_t kStyleReadOnly = 0x4;
constexpr std::uint32_t kStyleNumber = 0x8;  // an edit that takes digits only
constexpr std::uint32_t kStyleSunken = 0x10;
constexpr std::uint32_t kStyleNoPrefix = 0x20;

struct ControlTemplate {
    ControlKind kind = ControlKind::kLabel;
    std::int32_t id = -1;  // -1: none
    const char* text = "";
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t styles = 0;
};

struct DialogTemplate {
    std::uint32_t id = 0;
    const char* title = "";
    std::int32_t width = 0;
    std::int32_t height = 0;
    const ControlTemplate* controls = nullptr;
    std::size_t controlCount = 0;
};

}  // namespace pavix

namespace pavix {

// The template `id` in English or Japanese; null when there is none. Generated from the layout
// table into the executable that hosts the dialogs.
const DialogTemplate* FindDialogTemplate(bool japanese, std::uint32_t id);

}  // namespace pavix
