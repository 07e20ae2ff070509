#include "platform/linux/portal/desktop_entry.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

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

std::string DesktopEntryText(const std::string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Pavix\n"
           "Exec=" +
           program +
           "\n"
           "Terminal=false\n"
           "NoDisplay=true\n";
}

bool InstallDesktopEntry(const std::function<const char*(const char*)>& lookup,
                         const std::string& program) {
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
    const std::string path = folders[0] + name;
    const std::string text = DesktopEntryText(program);
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace pavix
