// Reading texts by id and the one error box through which every failure is reported.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace pavix {

// The text of a string-table id in the user's language, whole whatever its length; empty when
// the id is absent.
std::string LoadText(Platform& platform, std::uint32_t id);

// The text with every "%1" replaced by `value`.
std::string FillIn(std::string text, const std::string& value);
// The text with every "%1", "%2", ... replaced by the values in order; a "%" before anything else
// stays, and so does a placeholder inside a value.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values);

// A message box with no owner, the error caption, an error icon and OK.
void ShowError(Platform& platform, const std::string& text);
void ShowErrorText(Platform& platform, std::uint32_t id);

}  // namespace pavix
