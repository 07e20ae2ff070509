#include "app/login_start.h"

#include <cstring>

#include "platform/constants.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {

bool LoginStart::Enabled() {
    const std::string link = LinkPath(false);
    return !link.empty() && platform_.GetFileAttributesA(link.c_str()) != kInvalidFileAttributes;
}

bool LoginStart::Toggle() {
    const std::string link = LinkPath(true);
    if (link.empty()) {
        return false;
    }
    if (platform_.GetFileAttributesA(link.c_str()) != kInvalidFileAttributes) {
        return platform_.DeleteFileA(link.c_str());
    }
    char program[kMaxPath] = {};
    const std::uint32_t length = platform_.GetModuleFileNameA(0, program, kMaxPath);
    if (length == 0 || length >= static_cast<std::uint32_t>(kMaxPath)) {
        return false;
    }
    char folder[kMaxPath];
    std::memcpy(folder, program, sizeof folder);
    platform_.PathRemoveFileSpecA(folder);
    return platform_.SaveShellLinkA(link.c_str(), program, folder) == kSOk;
}

std::string LoginStart::LinkPath(bool create) {
    char path[kMaxPath] = {};
    const std::int32_t folder = kCsidlStartup | (create ? kCsidlFlagCreate : 0);
    if (platform_.SHGetFolderPathA(0, folder, 0, kShgfpTypeCurrent, path) != kSOk) {
        return "";
    }
    const std::string name = LoadText(platform_, ids::kTextStartupLinkName);
    if (name.empty() || !platform_.PathAppendA(path, name.c_str())) {
        return "";
    }
    return path;
}

}  // namespace pavix
