#include "key_texts.h"

#include <windows.h>

#include <cstdio>

namespace pavix_e2e {
namespace {

constexpr LPARAM kExtendedKeyBit = 0x01000000;
// GetKeyNameTextA gets a cleared 48-byte buffer and may fill 47 bytes of it.
constexpr int kKeyNameBufferSize = 48;

struct BuiltinNames {
    const wchar_t* english;
    const wchar_t* japanese;
};

// Row n is built-in command id n, as the command editor lists them.
constexpr BuiltinNames kBuiltinNames[kBuiltinCommandCount] = {
    {L"Do nothing", L"何もしない"},
    {L"Open Start Menu", L"スタートメニューの表示"},
    {L"Disable Hotkey", L"ホットキーの無効化"},
    {L"Exit Pavix", L"Pavixの終了"},
    {L"Shutdown System", L"シャットダウン"},
    {L"FORCE Shutdown", L"シャットダウン(強制)"},
    {L"Reboot System", L"再起動"},
    {L"FORCE Reboot", L"再起動(強制)"},
    {L"Logoff", L"ログオフ"},
    {L"FORCE Logoff", L"ログオフ(強制)"},
    {L"Standby System", L"スタンバイ"},
    {L"FORCE Standby", L"スタンバイ(強制)"},
    {L"Hibernate System", L"休止状態"},
    {L"FORCE Hibernate", L"休止状態(強制)"},
    {L"Lock System", L"端末のロック"},
    {L"Start Screen Saver", L"スクリーンセーバー起動"},
};

}  // namespace

bool IsExtendedKey(std::uint16_t virtualKey) {
    switch (virtualKey) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_INSERT:
        case VK_DELETE:
        case VK_APPS:
        case VK_NUMLOCK:
            return true;
        default:
            return false;
    }
}

std::wstring FromUtf8(const std::string& utf8) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

std::wstring FromAnsi(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &result[0], size);
    return result;
}

std::wstring KeyName(std::uint16_t virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    if (scan == 0) {
        return L"---";
    }
    char name[kKeyNameBufferSize] = {};
    const LPARAM parameter =
        static_cast<LPARAM>(scan) << 16 | (IsExtendedKey(virtualKey) ? kExtendedKeyBit : 0);
    GetKeyNameTextA(static_cast<LONG>(parameter), name, kKeyNameBufferSize - 1);
    return FromAnsi(name);
}

std::wstring ModifierPrefix(std::uint16_t modifiers) {
    std::wstring prefix;
    if (modifiers & kControl) {
        prefix += L"[C]";
    }
    if (modifiers & kAlt) {
        prefix += L"[A]";
    }
    if (modifiers & kShift) {
        prefix += L"[S]";
    }
    if (modifiers & kWin) {
        prefix += L"[W]";
    }
    return prefix;
}

std::wstring ChordLabel(const Chord& chord) {
    return ModifierPrefix(chord.modifiers) + L"+" + KeyName(chord.virtualKey);
}

std::wstring KeyRowText(std::uint16_t virtualKey) {
    char number[8];
    std::snprintf(number, sizeof(number), "%3d:", static_cast<int>(virtualKey));
    return FromAnsi(number) + KeyName(virtualKey);
}

std::wstring BuiltinName(std::int32_t id, bool japanese) {
    const BuiltinNames& names = kBuiltinNames[id >= 0 && id < kBuiltinCommandCount ? id : 0];
    return japanese ? names.japanese : names.english;
}

std::wstring ExternalDescription(const CommandSpec& command) {
    return L"[Cmd=\"" + FromAnsi(command.path) + L"\"] [Param=\"" + FromAnsi(command.parameter) +
           L"\"] [Dir=\"" + FromAnsi(command.directory) + L"\"]";
}

}  // namespace pavix_e2e
