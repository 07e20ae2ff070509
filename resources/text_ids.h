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
// The column titles of the sequence editor's key list.
constexpr std::uint32_t kTextModifierColumn = 32;
constexpr std::uint32_t kTextKeyColumn = 33;
// Followed by the path of the backup that an editor keeps of a file it could not read completely.
constexpr std::uint32_t kTextBackupKept = 34;

}  // namespace pavix
