#include "storage/module_path.h"

#include <cstring>

namespace pavix {

bool PathBesideExecutable(FileApi& files, char* buffer, const char* name) {
    const ModuleHandle module = files.GetModuleHandleA(nullptr);
    const std::uint32_t length =
        files.GetModuleFileNameA(module, buffer, static_cast<std::uint32_t>(kMaxPath));
    // A truncated module path may come back without its terminator on old systems.
    buffer[length < static_cast<std::uint32_t>(kMaxPath) ? length : kMaxPath - 1] = '\0';
    files.PathRemoveFileSpecA(buffer);
    if (!files.PathAppendA(buffer, name)) {
        // A path cut short would name some other file; no path names none.
        std::memset(buffer, 0, kMaxPath);
        return false;
    }
    return true;
}

std::string SavePathFor(const std::string& path) {
    // Either separator ends the folder: the platform takes both, and so does the native tool.
    const std::size_t nameStart = path.find_last_of("\\/") + 1;  // 0 when there is no folder
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot >= nameStart;
    return path.substr(0, hasExtension ? dot : path.size()) + ".new";
}

}  // namespace pavix
