// The code pages of Sequence.dat that the command-line tool knows without Windows: 1252 (Western
// European, the default) and 932 (Japanese).
#pragma once

#include <memory>

#include "storage/code_page.h"

namespace pavix::tool {

constexpr unsigned kWesternCodePage = 1252;
constexpr unsigned kJapaneseCodePage = 932;

// The code page of that number; nullptr for any other.
std::unique_ptr<CodePage> MakeNativeCodePage(unsigned number);

}  // namespace pavix::tool
