#include "platform/linux/locations.h"

#include <filesystem>
#include <system_error>

namespace pavix {
namespace {

std::string Absolute(const char* value) {
    return value != nullptr && value[0] == '/' ? value : "";
}

// The display's name in a form that fits a file name (":0.0" stays, a path would not).
std::string DisplayTag(const char* display) {
    std::string tag = display != nullptr && display[0] != '\0' ? display : "none";
    for (char& c : tag) {
        if (c == '/') {
            c = '_';
        }
    }
    return tag;
}

}  // namespace

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

std::string InstanceLockPath(const EnvironmentLookup& lookup, unsigned userId) {
    const std::string name = "pavix-" + DisplayTag(lookup("DISPLAY")) + ".lock";
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
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(to, error)) {
        return true;
    }
    // Copied under another name first, so that a copy cut short is never taken for the sounds.
    const std::string partial = to + ".partial";
    fs::remove_all(partial, error);
    fs::create_directories(partial, error);
    fs::copy(from, partial, fs::copy_options::recursive, error);
    if (!error) {
        fs::rename(partial, to, error);
    }
    if (error) {
        fs::remove_all(partial, error);
        return false;
    }
    return true;
}

}  // namespace pavix
