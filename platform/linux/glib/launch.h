// What starting a file means on Linux: a program runs with its parameters split as a shell
// would split them (but without a shell), anything else (a document, a folder, an address) opens
// through xdg-open with the desktop's choice of program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pavix {

struct Launch {
    std::vector<std::string> argv;  // empty when `error` is set
    std::string directory;          // the working directory, empty for Pavix's own
    std::uint32_t error = 0;        // the platform's error code why nothing can start
};

// `file` is a path (absolute, or relative to `directory`), a program's name found on PATH, or
// an address with a scheme ("https://...", "mailto:...").
Launch PlanLaunch(const std::string& file, const std::string& parameters,
                  const std::string& directory);

}  // namespace pavix
