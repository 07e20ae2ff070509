// Copies of the program's desktop entry for a program that runs from where it was built or
// unpacked: the session's autostart folder and the user's applications folder (where the desktop
// portal finds the program by its app id) hold the installed entry with its Exec line naming
// the program.
#pragma once

#include <string>

namespace pavix {

// Writes `copy` as `entry` with each Exec line naming `program` (quoted and escaped as the
// desktop entry format asks); the copy replaces an older one only once it is complete. False,
// with nothing changed, where `entry` cannot be read or `copy` written.
bool CopyDesktopEntry(const std::string& entry, const std::string& program,
                      const std::string& copy);

// The running program's executable file, which the copies name; empty where the system hides it.
std::string RunningExecutable();

}  // namespace pavix
