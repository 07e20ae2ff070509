// The program's id for the desktop portal and the desktop file that the portal finds it by: a
// program outside a sandbox is known to the portal only by an installed <app id>.desktop.
#pragma once

#include <functional>
#include <string>

namespace pavix {

// Reverse-DNS with at least three parts and no '-', as the portals require; the build names it
// once for the desktop file, the icon and the AppStream entry too.
constexpr const char* kPortalAppId = PAVIX_APP_ID;

// Writes $XDG_DATA_HOME/applications/<app id>.desktop (~/.local/share when unset or relative),
// a copy of the program's own desktop entry `entry` naming `program`, unless a desktop file of
// that name is in it or in a folder of $XDG_DATA_DIRS already; true when one is there afterwards.
bool InstallDesktopEntry(const std::function<const char*(const char*)>& lookup,
                         const std::string& entry, const std::string& program);

}  // namespace pavix
