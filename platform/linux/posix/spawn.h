// Starting a command's process from a large desktop process without copying it: glibc's
// posix_spawn clones with the parent's memory shared and the parent held until the exec, so the
// cost does not grow with this process's size, and a failed exec is reported to the caller.
#pragma once

#include <string>
#include <vector>

namespace pavix {

struct Spawned {
    int pid = 0;                     // the child's, when it started
    int error = 0;                   // errno of the failure, 0 when it started
    bool enteringDirectory = false;  // the failure was entering `directory`, not the exec
};

// Runs argv[0] (looked for on PATH when it names no folder) with argv in `directory` (this
// process's own when empty), with standard input from /dev/null, standard output and error
// shared, no other descriptor, in a session of its own, with every signal handled by default and
// none blocked.
// A file that is no executable format runs as a /bin/sh script, as execvp does. The caller
// reaps the child.
Spawned Spawn(const std::vector<std::string>& argv, const std::string& directory);

}  // namespace pavix
