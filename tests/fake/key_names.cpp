#include "fake/key_names.h"

#include <cstring>

namespace pavix::fake {
namespace {

struct VirtualKey {
    std::uint32_t code;
    std::uint32_t scan;
};

// Virtual keys that have a key on the layout; letters and digits are computed below.
constexpr VirtualKey kKeys[] = {
    {0x08, 0x0E}, {0x09, 0x0F}, {0x0C, 0x4C}, {0x0D, 0x1C}, {0x10, 0x2A}, {0x11, 0x1D},
    {0x12, 0x38}, {0x13, 0x45}, {0x14, 0x3A}, {0x1B, 0x01}, {0x20, 0x39}, {0x21, 0x49},
    {0x22, 0x51}, {0x23, 0x4F}, {0x24, 0x47}, {0x25, 0x4B}, {0x26, 0x48}, {0x27, 0x4D},
    {0x28, 0x50}, {0x2C, 0x54}, {0x2D, 0x52}, {0x2E, 0x53}, {0x5B, 0x5B}, {0x5C, 0x5C},
    {0x5D, 0x5D}, {0x60, 0x52}, {0x61, 0x4F}, {0x62, 0x50}, {0x63, 0x51}, {0x64, 0x4B},
    {0x65, 0x4C}, {0x66, 0x4D}, {0x67, 0x47}, {0x68, 0x48}, {0x69, 0x49}, {0x6A, 0x37},
    {0x6B, 0x4E}, {0x6D, 0x4A}, {0x6E, 0x53}, {0x6F, 0x35}, {0x70, 0x3B}, {0x71, 0x3C},
    {0x72, 0x3D}, {0x73, 0x3E}, {0x74, 0x3F}, {0x75, 0x40}, {0x76, 0x41}, {0x77, 0x42},
    {0x78, 0x43}, {0x79, 0x44}, {0x7A, 0x57}, {0x7B, 0x58}, {0x7C, 0x64}, {0x7D, 0x65},
    {0x7E, 0x66}, {0x7F, 0x67}, {0x80, 0x68}, {0x81, 0x69}, {0x82, 0x6A}, {0x83, 0x6B},
    {0x84, 0x6C}, {0x85, 0x6D}, {0x86, 0x6E}, {0x87, 0x76}, {0x90, 0x45}, {0x91, 0x46},
    {0xA0, 0x2A}, {0xA1, 0x36}, {0xA2, 0x1D}, {0xA3, 0x1D}, {0xA4, 0x38}, {0xA5, 0x38},
    {0xBA, 0x27}, {0xBB, 0x0D}, {0xBC, 0x33}, {0xBD, 0x0C}, {0xBE, 0x34}, {0xBF, 0x35},
    {0xC0, 0x29}, {0xDB, 0x1A}, {0xDC, 0x2B}, {0xDD, 0x1B}, {0xDE, 0x28}, {0xE2, 0x56},
};

// Scan codes of the digits 0-9 and the letters A-Z.
constexpr std::uint8_t kDigitScans[] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
constexpr std::uint8_t kLetterScans[] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                         0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                         0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

struct ScanName {
    std::uint32_t scan;
    const char* name;
    const char* extendedName;  // nullptr: same as name
};

// Names of the non-character keys; the Windows keys have no name in their plain form.
constexpr ScanName kNames[] = {
    {0x01, "Esc", nullptr},       {0x0C, "-", nullptr},         {0x0D, "=", nullptr},
    {0x0E, "Backspace", nullptr}, {0x0F, "Tab", nullptr},       {0x1A, "[", nullptr},
    {0x1B, "]", nullptr},         {0x1C, "Enter", "Num Enter"}, {0x1D, "Ctrl", "Right Ctrl"},
    {0x27, ";", nullptr},         {0x28, "'", nullptr},         {0x29, "`", nullptr},
    {0x2A, "Shift", nullptr},     {0x2B, "\\", nullptr},        {0x33, ",", nullptr},
    {0x34, ".", nullptr},         {0x35, "/", "Num /"},         {0x36, "Right Shift", nullptr},
    {0x37, "Num *", "Prnt Scrn"}, {0x38, "Alt", "Right Alt"},   {0x39, "Space", nullptr},
    {0x3A, "Caps Lock", nullptr}, {0x45, "Pause", "Num Lock"},  {0x46, "Scroll Lock", "Break"},
    {0x47, "Num 7", "Home"},      {0x48, "Num 8", "Up"},        {0x49, "Num 9", "Page Up"},
    {0x4A, "Num -", nullptr},     {0x4B, "Num 4", "Left"},      {0x4C, "Num 5", nullptr},
    {0x4D, "Num 6", "Right"},     {0x4E, "Num +", nullptr},     {0x4F, "Num 1", "End"},
    {0x50, "Num 2", "Down"},      {0x51, "Num 3", "Page Down"}, {0x52, "Num 0", "Insert"},
    {0x53, "Num Del", "Delete"},  {0x54, "Sys Req", nullptr},   {0x56, "\\", nullptr},
    {0x57, "F11", nullptr},       {0x58, "F12", nullptr},       {0x5B, "", "Left Windows"},
    {0x5C, "", "Right Windows"},  {0x5D, "", "Application"},    {0x64, "F13", nullptr},
    {0x65, "F14", nullptr},       {0x66, "F15", nullptr},       {0x67, "F16", nullptr},
    {0x68, "F17", nullptr},       {0x69, "F18", nullptr},       {0x6A, "F19", nullptr},
    {0x6B, "F20", nullptr},       {0x6C, "F21", nullptr},       {0x6D, "F22", nullptr},
    {0x6E, "F23", nullptr},       {0x76, "F24", nullptr},
};

constexpr const char* kFunctionNames[] = {"F1", "F2", "F3", "F4", "F5",
                                          "F6", "F7", "F8", "F9", "F10"};
constexpr const char* kCharacters[] = {
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
};
constexpr const char* kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

}  // namespace

std::uint32_t ScanCodeOf(std::uint32_t virtualKey) {
    if (virtualKey >= '0' && virtualKey <= '9') {
        return kDigitScans[virtualKey - '0'];
    }
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        return kLetterScans[virtualKey - 'A'];
    }
    for (const VirtualKey& key : kKeys) {
        if (key.code == virtualKey) {
            return key.scan;
        }
    }
    return 0;
}

const char* NameOfScanCode(std::uint32_t scanCode, bool extended) {
    if (scanCode >= 0x3B && scanCode <= 0x44) {
        return kFunctionNames[scanCode - 0x3B];
    }
    for (int i = 0; i < 10; ++i) {
        if (kDigitScans[i] == scanCode) {
            return kDigits[i];
        }
    }
    for (int i = 0; i < 26; ++i) {
        if (kLetterScans[i] == scanCode) {
            return kCharacters[i];
        }
    }
    for (const ScanName& entry : kNames) {
        if (entry.scan == scanCode) {
            return extended && entry.extendedName ? entry.extendedName : entry.name;
        }
    }
    return nullptr;
}

}  // namespace pavix::fake
