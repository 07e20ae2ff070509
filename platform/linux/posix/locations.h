// Where Pavix keeps its files on Linux, and what the session it starts in is, read from the
// environment it is given (a lookup like getenv, which returns nullptr for an unset name).
#pragma once

#include <functional>
#include <string>

namespace pavix {

using EnvironmentLookup = std::function<const char*(const char*)>;

// The folder of the running executable, without a trailing slash; empty when /proc is missing.
std::string ProgramFolder();
// Where the program's own files are: in a build tree the desktop module, se/ and icons/ lie beside
// the executable, the desktop entry in deb/; installed as <prefix>/bin/pavix, the module is in
// <prefix>/`moduleFolder`, se/ and icons/ in <prefix>/share/pavix and the desktop entry in
// <prefix>/share/applications. So the same build runs from either place.
struct ProgramFiles {
    std::string dataFolder;  // holds se/ and icons/
    std::string desktopModule;
    std::string portalModule;  // beside the desktop module
    std::string desktopEntry;  // <appId>.desktop
};
ProgramFiles FindProgramFiles(const std::string& programFolder, const std::string& moduleFolder,
                              const std::string& appId);
// Makes a folder and any of its parents that are missing, with `mode`; true when it is there.
bool CreateFolders(const std::string& path, unsigned mode = 0777);

// $XDG_CONFIG_HOME/pavix, or ~/.config/pavix when that is unset, empty or relative (a relative
// value is invalid there); empty when neither names a folder.
std::string ConfigFolder(const EnvironmentLookup& lookup);
// The lock that keeps one Pavix per display: the Wayland one where WAYLAND_DISPLAY names one
// (Pavix there may have Xwayland's DISPLAY or not), else the X one; in $XDG_RUNTIME_DIR, else in
// /tmp with the user's id in the name. `userId` names the user in the fallback.
std::string InstanceLockPath(const EnvironmentLookup& lookup, unsigned userId);
// Whether the user's locale for messages is Japanese (LC_ALL, else LC_MESSAGES, else LANG, as
// the C library chooses); every other language gets the English texts.
bool PrefersJapanese(const EnvironmentLookup& lookup);
// Under Wayland an X11 client hears only the keys typed into X11 windows.
bool IsWaylandSession(const EnvironmentLookup& lookup);

// Copies every file of `from` into `to` when `to` does not exist yet, so that a user's own
// sounds are never replaced; false when the copy was needed and failed.
bool InstallMissingFolder(const std::string& from, const std::string& to);

}  // namespace pavix
