// The Startup folder and its shortcut as a freedesktop session has them: the folder is
// $XDG_CONFIG_HOME/autostart, and the shortcut a copy of the program's desktop entry whose Exec
// line names this executable (GetModuleFileNameA names a file in the configuration folder, so
// the target given is not the program). Sessions managed by systemd take the app id from the
// entry's name.
#include <cstring>

#include "platform/constants.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/desktop_entry_copy.h"
#include "platform/linux/posix/locations.h"

namespace pavix {

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
    return CopyDesktopEntry(places_.desktopEntry, RunningExecutable(), linkPath) ? kSOk : kEFail;
}

}  // namespace pavix
