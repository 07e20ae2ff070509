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

}  // namespace pavix
