#include "platform/linux/posix/desktop_entry_copy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

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

bool CopyDesktopEntry(const std::string& entry, const std::string& program,
                      const std::string& copy) {
    std::ifstream source(entry);
    if (!source || program.empty()) {
        return false;
    }
    std::ostringstream text;
    for (std::string line; std::getline(source, line);) {
        text << (line.rfind("Exec=", 0) == 0 ? "Exec=" + ExecArgument(program) : line) << '\n';
    }
    return !source.bad() && WriteWhole(copy, text.str());
}

std::string RunningExecutable() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "";
}

}  // namespace pavix
