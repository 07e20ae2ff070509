// The string table of both language copies, generated from resources/texts.tsv. Japanese texts
// are in code page 932, as the platform hands them to the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pavix::resources {

enum class Language : std::uint16_t { English = 1033, Japanese = 1041 };

// The text of a string-table id in one language, or nullptr when the id is absent.
const char* FindString(Language language, std::uint32_t id);

// The text of a command of menu 103.
const char* FindMenuText(Language language, std::uint32_t commandId);
// The command ids of menu 103 in item order; *count receives how many.
const std::uint32_t* MenuCommands(std::size_t* count);

}  // namespace pavix::resources
