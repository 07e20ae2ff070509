#include "platform/linux/posix/locations.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>

#include "platform/linux/posix/posix_files.h"

namespace pavix {
namespace {

std::string Absolute(const char* value) {
    return value != nullptr && value[0] == '/' ? value : "";
}

// The display itself, whatever spelling of it DISPLAY holds: its host and number, as xcb reads
// them (":0", ":0.1", "unix:0" and "unix/:0" are one display; the screen is no part of it), in
// a form that fits a file name.
std::string DisplayTag(const char* display) {
    char* host = nullptr;
    int number = 0;
    if (display == nullptr || xcb_parse_display(display, &host, &number, nullptr) == 0) {
        return "none";
    }
    std::string tag = host;
    std::free(host);
    if (tag == "unix") {
        tag.clear();  // the local socket, as an empty host is
    }
    tag += ":" + std::to_string(number);
    for (char& c : tag) {
        if (c == '/') {
            c = '_';
        }
    }
    return tag;
}

// Calls `visit` with the path of each entry of a folder but . and ..; false when the folder
// cannot be read or a visit fails.
bool ForEachEntry(const std::string& folder, const std::function<bool(const std::string&)>& visit) {
    DIR* entries = opendir(folder.c_str());
    if (entries == nullptr) {
        return false;
    }
    bool visited = true;
    while (const dirent* entry = readdir(entries)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            visited = visit(folder + "/" + name) && visited;
        }
    }
    closedir(entries);
    return visited;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A file, or a folder with everything in it; true when nothing of it is left.
bool RemoveTree(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISDIR(info.st_mode)) {
        return unlink(path.c_str()) == 0;
    }
    ForEachEntry(path, RemoveTree);
    return rmdir(path.c_str()) == 0;
}

bool CopyTree(const std::string& from, const std::string& to) {
    if (mkdir(to.c_str(), 0777) != 0 && errno != EEXIST) {
        return false;
    }
    return ForEachEntry(from, [&](const std::string& path) {
        const std::string target = to + path.substr(from.size());
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            return false;
        }
        if (S_ISDIR(info.st_mode)) {
            return CopyTree(path, target);
        }
        PosixFiles files;
        return files.CopyFileA(path.c_str(), target.c_str(), true);
    });
}

}  // namespace

std::string ProgramFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return "";
    }
    const std::string program(path, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/'));
}

ProgramFiles FindProgramFiles(const std::string& programFolder, const std::string& moduleFolder,
                              const std::string& appId) {
    const std::string beside = programFolder + "/pavix-desktop.so";
    const std::string entry = appId + ".desktop";
    struct stat info {};
    if (stat(beside.c_str(), &info) == 0) {
        return {programFolder, beside, programFolder + "/pavix-portal.so",
                programFolder + "/deb/" + entry};
    }
    const std::string prefix = programFolder.substr(0, programFolder.rfind('/'));
    const std::string modules = prefix + "/" + moduleFolder;
    return {prefix + "/share/pavix", modules + "/pavix-desktop.so", modules + "/pavix-portal.so",
            prefix + "/share/applications/" + entry};
}

bool CreateFolders(const std::string& path, unsigned mode) {
    if (IsFolder(path)) {
        return true;  // as at every start but the first
    }
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), mode) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return IsFolder(path);
}

std::string ConfigFolder(const EnvironmentLookup& lookup) {
    std::string base = Absolute(lookup("XDG_CONFIG_HOME"));
    if (base.empty()) {
        const std::string home = Absolute(lookup("HOME"));
        if (home.empty()) {
            return "";
        }
        base = home + "/.config";
    }
    return base + "/pavix";
}

// A Wayland session's display, with or without Xwayland: its socket's name (or path).
std::string WaylandTag(const char* display) {
    std::string tag = std::string("wayland:") + display;
    std::replace(tag.begin(), tag.end(), '/', '_');
    return tag;
}

std::string InstanceLockPath(const EnvironmentLookup& lookup, unsigned userId) {
    const char* wayland = lookup("WAYLAND_DISPLAY");
    const std::string tag = wayland != nullptr && wayland[0] != '\0'
                                ? WaylandTag(wayland)
                                : DisplayTag(lookup("DISPLAY"));
    const std::string name = "pavix-" + tag + ".lock";
    const std::string runtime = Absolute(lookup("XDG_RUNTIME_DIR"));
    if (!runtime.empty()) {
        return runtime + "/" + name;
    }
    return "/tmp/pavix-" + std::to_string(userId) + "-" + name.substr(6);
}

bool PrefersJapanese(const EnvironmentLookup& lookup) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(name);
        if (value != nullptr && value[0] != '\0') {
            return std::string(value).rfind("ja", 0) == 0;
        }
    }
    return false;
}

bool IsWaylandSession(const EnvironmentLookup& lookup) {
    const char* waylandDisplay = lookup("WAYLAND_DISPLAY");
    const char* sessionType = lookup("XDG_SESSION_TYPE");
    return (waylandDisplay != nullptr && waylandDisplay[0] != '\0') ||
           (sessionType != nullptr && std::string(sessionType) == "wayland");
}

bool InstallMissingFolder(const std::string& from, const std::string& to) {
    struct stat info {};
    if (lstat(to.c_str(), &info) == 0) {
        return true;
    }
    // Copied under another name first, so that a copy cut short is never taken for the sounds.
    const std::string partial = to + ".partial";
    RemoveTree(partial);
    if (CopyTree(from, partial) && rename(partial.c_str(), to.c_str()) == 0) {
        return true;
    }
    RemoveTree(partial);
    return false;
}

}  // namespace pavix
