// The Startup folder and its shortcut as a freedesktop session has them: the folder is
// $XDG_CONFIG_HOME/autostart, and the shortcut a copy of the program's desktop entry whose Exec
// line names this executable (GetModuleFileNameA names a file in the configuration folder, so
// the target given is not the program). Sessions managed by systemd take the app id from the
// entry's name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/constants.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/locations.h"

namespace pavix {
namespace {

// A path as one argument of an Exec line: quoted where it holds a reserved character, with the
// quoting's escapes, then the escapes of the desktop entry's strings and its field codes.
std::string ExecArgument(const std::string& path) {
    const bool quoted = path.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string argument;
    for (const char c : path) {
        if (quoted && std::strchr("\"`$\\", c) != nullptr) {
            argument += c == '\\' ? "\\\\\\\\" : std::string("\\\\") + c;
        } else if (c == '%') {
            argument += "%%";
        } else {
            argument += c;
        }
    }
    return quoted ? "\"" + argument + "\"" : argument;
}

std::string ExecutablePath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "";
}

// Writes the whole text under a new name that replaces `path` only once complete.
bool WriteWhole(const std::string& path, const std::string& text) {
    const std::string partial = path + ".new";
    const int file = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        return false;
    }
    const bool written = write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (close(file) != 0 || !written || rename(partial.c_str(), path.c_str()) != 0) {
        unlink(partial.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::int32_t LinuxPlatform::SHGetFolderPathA(WindowHandle, std::int32_t folder, KernelHandle,
                                             std::uint32_t, char* path) {
    const std::string config = places_.configFolder.substr(0, places_.configFolder.rfind('/'));
    if ((folder & ~kCsidlFlagCreate) != kCsidlStartup || config.empty()) {
        return kEFail;
    }
    const std::string startup = config + "/autostart";
    if ((folder & kCsidlFlagCreate) != 0 && !CreateFolders(startup, 0700)) {
        return kEFail;
    }
    if (startup.size() >= static_cast<std::size_t>(kMaxPath)) {
        return kEFail;
    }
    std::memcpy(path, startup.c_str(), startup.size() + 1);
    return kSOk;
}

std::int32_t LinuxPlatform::SaveShellLinkA(const char* linkPath, const char*, const char*) {
    std::ifstream entry(places_.desktopEntry);
    const std::string program = ExecutablePath();
    if (!entry || program.empty()) {
        return kEFail;
    }
    std::ostringstream copy;
    for (std::string line; std::getline(entry, line);) {
        copy << (line.rfind("Exec=", 0) == 0 ? "Exec=" + ExecArgument(program) : line) << '\n';
    }
    return !entry.bad() && WriteWhole(linkPath, copy.str()) ? kSOk : kEFail;
}

}  // namespace pavix
