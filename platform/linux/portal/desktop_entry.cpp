#include "platform/linux/portal/desktop_entry.h"

#include <unistd.h>

#include <vector>

#include "platform/linux/posix/desktop_entry_copy.h"
#include "platform/linux/posix/locations.h"

namespace pavix {
namespace {

std::string Absolute(const char* value) {
    return value != nullptr && value[0] == '/' ? value : "";
}

std::vector<std::string> DataFolders(const std::function<const char*(const char*)>& lookup) {
    std::vector<std::string> folders;
    std::string home = Absolute(lookup("XDG_DATA_HOME"));
    if (home.empty() && !Absolute(lookup("HOME")).empty()) {
        home = std::string(lookup("HOME")) + "/.local/share";
    }
    folders.push_back(home);
    const char* dirs = lookup("XDG_DATA_DIRS");
    std::string list = dirs != nullptr && dirs[0] != '\0' ? dirs : "/usr/local/share:/usr/share";
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t colon = std::min(list.find(':', start), list.size());
        const std::string folder = list.substr(start, colon - start);
        if (!folder.empty() && folder[0] == '/') {
            folders.push_back(folder);
        }
        start = colon + 1;
    }
    return folders;
}

}  // namespace

bool InstallDesktopEntry(const std::function<const char*(const char*)>& lookup,
                         const std::string& entry, const std::string& program) {
    const std::string name = std::string("/applications/") + kPortalAppId + ".desktop";
    const std::vector<std::string> folders = DataFolders(lookup);
    for (const std::string& folder : folders) {
        if (!folder.empty() && ::access((folder + name).c_str(), F_OK) == 0) {
            return true;
        }
    }
    if (folders[0].empty() || !CreateFolders(folders[0] + "/applications")) {
        return false;
    }
    return CopyDesktopEntry(entry, program, folders[0] + name);
}

}  // namespace pavix
