#include "model/key_spelling.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/constants.h"

namespace pavix {
namespace {

constexpr std::size_t kKeyCodeCount = 256;

struct NamedKey {
    std::uint16_t code;
    const char* name;
};

// The virtual-key codes that have a name of their own; letters, digits, F1-F24 and the keypad
// digits are added by KeyNames(). The names follow the platform's VK_ constants, so that they
// mean the same key whatever the layout; the left and right modifier keys and the three generic
// ones carry a side or "Key" so that no key is named like a modifier.
// clang-format off
constexpr NamedKey kNamedKeys[] = {
    {0x01, "LButton"},         {0x02, "RButton"},         {0x03, "Cancel"},
    {0x04, "MButton"},         {0x05, "XButton1"},        {0x06, "XButton2"},
    {0x08, "Backspace"},       {0x09, "Tab"},             {0x0C, "Clear"},
    {0x0D, "Enter"},           {0x10, "ShiftKey"},        {0x11, "CtrlKey"},
    {0x12, "AltKey"},          {0x13, "Pause"},           {0x14, "CapsLock"},
    {0x15, "Kana"},            {0x16, "ImeOn"},           {0x17, "Junja"},
    {0x18, "Final"},           {0x19, "Kanji"},           {0x1A, "ImeOff"},
    {0x1B, "Escape"},          {0x1C, "Convert"},         {0x1D, "NonConvert"},
    {0x1E, "Accept"},          {0x1F, "ModeChange"},      {0x20, "Space"},
    {0x21, "PageUp"},          {0x22, "PageDown"},        {0x23, "End"},
    {0x24, "Home"},            {0x25, "Left"},            {0x26, "Up"},
    {0x27, "Right"},           {0x28, "Down"},            {0x29, "Select"},
    {0x2A, "Print"},           {0x2B, "Execute"},         {0x2C, "PrintScreen"},
    {0x2D, "Insert"},          {0x2E, "Delete"},          {0x2F, "Help"},
    {0x5B, "LWin"},            {0x5C, "RWin"},            {0x5D, "Apps"},
    {0x5F, "Sleep"},           {0x6A, "Multiply"},        {0x6B, "Add"},
    {0x6C, "Separator"},       {0x6D, "Subtract"},        {0x6E, "Decimal"},
    {0x6F, "Divide"},          {0x90, "NumLock"},         {0x91, "ScrollLock"},
    {0xA0, "LShift"},          {0xA1, "RShift"},          {0xA2, "LCtrl"},
    {0xA3, "RCtrl"},           {0xA4, "LAlt"},            {0xA5, "RAlt"},
    {0xA6, "BrowserBack"},     {0xA7, "BrowserForward"},  {0xA8, "BrowserRefresh"},
    {0xA9, "BrowserStop"},     {0xAA, "BrowserSearch"},   {0xAB, "BrowserFavorites"},
    {0xAC, "BrowserHome"},     {0xAD, "VolumeMute"},      {0xAE, "VolumeDown"},
    {0xAF, "VolumeUp"},        {0xB0, "MediaNext"},       {0xB1, "MediaPrevious"},
    {0xB2, "MediaStop"},       {0xB3, "MediaPlayPause"},  {0xB4, "LaunchMail"},
    {0xB5, "LaunchMedia"},     {0xB6, "LaunchApp1"},      {0xB7, "LaunchApp2"},
    {0xBA, "Oem1"},            {0xBB, "OemPlus"},         {0xBC, "OemComma"},
    {0xBD, "OemMinus"},        {0xBE, "OemPeriod"},       {0xBF, "Oem2"},
    {0xC0, "Oem3"},            {0xDB, "Oem4"},            {0xDC, "Oem5"},
    {0xDD, "Oem6"},            {0xDE, "Oem7"},            {0xDF, "Oem8"},
    {0xE2, "Oem102"},          {0xE5, "ProcessKey"},      {0xE7, "Packet"},
    {0xF6, "Attn"},            {0xF7, "CrSel"},           {0xF8, "ExSel"},
    {0xF9, "EraseEof"},        {0xFA, "Play"},            {0xFB, "Zoom"},
    {0xFD, "Pa1"},             {0xFE, "OemClear"}
};
// clang-format on

struct Modifier {
    KeyModifiers bit;
    const char* name;
};

// In the order a spelling writes them, the order of the editor's prefix.
constexpr Modifier kModifiers[] = {
    {kModControl, "Ctrl"}, {kModAlt, "Alt"}, {kModShift, "Shift"}, {kModWin, "Win"}};

using KeyNameTable = std::array<std::string, kKeyCodeCount>;

KeyNameTable MakeKeyNames() {
    KeyNameTable names;
    for (char c = '0'; c <= '9'; ++c) {
        names[static_cast<std::size_t>(c)] = std::string(1, c);
        names[static_cast<std::size_t>(0x60 + c - '0')] = "NumPad" + std::string(1, c);
    }
    for (char c = 'A'; c <= 'Z'; ++c) {
        names[static_cast<std::size_t>(c)] = std::string(1, c);
    }
    for (int f = 1; f <= 24; ++f) {
        names[static_cast<std::size_t>(0x70 + f - 1)] = "F" + std::to_string(f);
    }
    for (const NamedKey& key : kNamedKeys) {
        names[key.code] = key.name;
    }
    return names;
}

const KeyNameTable& KeyNames() {
    static const KeyNameTable names = MakeKeyNames();
    return names;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<std::uint16_t> HexKeyCode(std::string_view text) {
    if (text.size() < 3 || text.size() > 6 || text[0] != '0' || Lower(text[1]) != 'x') {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text.substr(2)) {
        const char lower = Lower(c);
        const int digit = c >= '0' && c <= '9'           ? c - '0'
                          : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10
                                                         : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::uint16_t>(value);
}

std::optional<std::uint16_t> KeyCodeOf(std::string_view name) {
    if (auto hex = HexKeyCode(name)) {
        return hex;
    }
    const KeyNameTable& names = KeyNames();
    for (std::size_t code = 0; code < names.size(); ++code) {
        if (!names[code].empty() && SameSpelling(names[code], name)) {
            return static_cast<std::uint16_t>(code);
        }
    }
    return std::nullopt;
}

}  // namespace

bool SameSpelling(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string KeySpelling(std::uint16_t keyCode) {
    if (keyCode < kKeyCodeCount && !KeyNames()[keyCode].empty()) {
        return KeyNames()[keyCode];
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, keyCode < kKeyCodeCount ? "0x%02X" : "0x%04X", keyCode);
    return hex;
}

std::optional<std::string> ChordSpelling(KeyChord chord) {
    std::string text;
    KeyModifiers named = 0;
    for (const Modifier& modifier : kModifiers) {
        if (chord.modifiers & modifier.bit) {
            text += modifier.name;
            text += '+';
            named |= modifier.bit;
        }
    }
    if (named != chord.modifiers) {
        return std::nullopt;
    }
    return text + KeySpelling(chord.keyCode);
}

bool ParseChordSpelling(std::string_view text, KeyChord* chord, std::string* badPart) {
    KeyChord parsed;
    for (;;) {
        const std::size_t plus = text.find('+');
        const std::string_view part = Trimmed(text.substr(0, plus));
        if (plus == std::string_view::npos) {
            const std::optional<std::uint16_t> code = KeyCodeOf(part);
            if (!code) {
                *badPart = std::string(part);
                return false;
            }
            parsed.keyCode = *code;
            *chord = parsed;
            return true;
        }
        const Modifier* found = nullptr;
        for (const Modifier& modifier : kModifiers) {
            if (SameSpelling(part, modifier.name) && (parsed.modifiers & modifier.bit) == 0) {
                found = &modifier;
            }
        }
        if (found == nullptr) {
            *badPart = std::string(part);
            return false;
        }
        parsed.modifiers |= found->bit;
        text.remove_prefix(plus + 1);
    }
}

}  // namespace pavix
