// String-table ids that the code names.
#pragma once

#include <cstdint>

namespace pavix {

constexpr std::uint32_t kTextErrorCaption = 1;
constexpr std::uint32_t kTextInvalidFormat = 2;
constexpr std::uint32_t kTextVersionMismatch = 4;
constexpr std::uint32_t kTextReadFailed = 5;
constexpr std::uint32_t kTextWriteFailed = 6;
constexpr std::uint32_t kTextOpenForWriteFailed = 7;
constexpr std::uint32_t kTextNoTaskTray = 8;
constexpr std::uint32_t kTextNoNotificationArea = 9;
constexpr std::uint32_t kTextTrayIconFailed = 10;
constexpr std::uint32_t kTextRegisterHotkeyFailed = 29;
constexpr std::uint32_t kTextExecuteFailed = 30;
// The hint window: its title, the sequences a chord continues, the row past the last one shown.
constexpr std::uint32_t kTextHintTitle = 40;
constexpr std::uint32_t kTextContinuesOne = 41;
constexpr std::uint32_t kTextContinuesMany = 42;
constexpr std::uint32_t kTextMoreChords = 43;
// Why a sequence never runs, as the sequence editor says it.
constexpr std::uint32_t kTextNoKeys = 44;
constexpr std::uint32_t kTextNoCommands = 45;
constexpr std::uint32_t kTextSameChords = 46;
constexpr std::uint32_t kTextBeginsWith = 47;
constexpr std::uint32_t kTextAbortChord = 48;
constexpr std::uint32_t kTextHeldElsewhere = 49;

}  // namespace pavix
