#include "platform/linux/glib/launch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

#include "platform/constants.h"
#include "platform/linux/glib/glib_calls.h"

namespace pavix {
namespace {

constexpr const char* kOpener = "xdg-open";

// "scheme:" with a scheme of two or more characters: one letter is a drive, not an address.
bool IsAddress(const std::string& file) {
    const std::size_t colon = file.find(':');
    if (colon == std::string::npos || colon < 2 ||
        !std::isalpha(static_cast<unsigned char>(file[0]))) {
        return false;
    }
    for (std::size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(file[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

std::string FindProgram(const std::string& name) {
    gchar* found = GLib().findProgramInPath(name.c_str());
    const std::string path = found != nullptr ? found : "";
    GLib().free(found);
    return path;
}

// The parameters as a shell splits them; an empty text is no parameter.
bool SplitParameters(const std::string& parameters, std::vector<std::string>& argv) {
    if (parameters.find_first_not_of(" \t\n") == std::string::npos) {
        return true;
    }
    gchar** split = nullptr;
    if (!GLib().shellParseArgv(parameters.c_str(), nullptr, &split, nullptr)) {
        return false;
    }
    for (gchar** part = split; *part != nullptr; ++part) {
        argv.emplace_back(*part);
    }
    GLib().strfreev(split);
    return true;
}

Launch Failed(std::uint32_t error) {
    Launch launch;
    launch.error = error;
    return launch;
}

}  // namespace

Launch PlanLaunch(const std::string& file, const std::string& parameters,
                  const std::string& directory) {
    struct stat status {};
    if (!directory.empty() &&
        (::stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))) {
        return Failed(kErrorPathNotFound);
    }
    if (file.empty()) {
        return Failed(kErrorFileNotFound);
    }
    Launch launch;
    launch.directory = directory;
    if (IsAddress(file)) {
        launch.argv = {kOpener, file};
        return launch;
    }
    std::string path = file;
    if (file.find('/') == std::string::npos) {
        const std::string program = FindProgram(file);
        const std::string local = (directory.empty() ? "." : directory) + "/" + file;
        path = !program.empty() ? program : local;
    } else if (file[0] != '/' && !directory.empty()) {
        path = directory + "/" + file;
    }
    if (::stat(path.c_str(), &status) != 0) {
        return Failed(errno == ENOTDIR ? kErrorPathNotFound : kErrorFileNotFound);
    }
    if (S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0) {
        launch.argv = {path};
        if (!SplitParameters(parameters, launch.argv)) {
            return Failed(kErrorInvalidParameter);
        }
        return launch;
    }
    launch.argv = {kOpener, path};
    return launch;
}

}  // namespace pavix
