#include "platform/linux/posix/spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace pavix {
namespace {

constexpr const char* kShell = "/bin/sh";
constexpr int kFirstInherited = 3;  // after standard input, output and error

// The file actions and attributes of every spawn, released with it.
class SpawnSetup {
  public:
    explicit SpawnSetup(const std::string& directory) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
        if (!directory.empty()) {
            posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str());
        }
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&actions_, kFirstInherited);
        // As a desktop's launcher starts a program: in a session of its own, so that neither the
        // terminal that started Pavix nor Pavix's own end reaches it, with every signal's default
        // handling and none blocked (Pavix blocks the signals that end it).
        sigset_t every;
        sigfillset(&every);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes_, &every);
        posix_spawnattr_setsigmask(&attributes_, &none);
        posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&attributes_);
        posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    int Run(const std::vector<std::string>& argv, pid_t* pid) {
        std::vector<char*> arguments;
        for (const std::string& part : argv) {
            arguments.push_back(const_cast<char*>(part.c_str()));
        }
        arguments.push_back(nullptr);
        return posix_spawnp(pid, arguments[0], &actions_, &attributes_, arguments.data(), environ);
    }

  private:
    posix_spawn_file_actions_t actions_{};
    posix_spawnattr_t attributes_{};
};

}  // namespace

Spawned Spawn(const std::vector<std::string>& argv, const std::string& directory) {
    Spawned spawned;
    if (argv.empty()) {
        spawned.error = ENOENT;
        return spawned;
    }
    // Told apart here: the spawn reports a failed chdir and a failed exec alike.
    if (!directory.empty() && ::access(directory.c_str(), X_OK) != 0) {
        spawned.error = errno;
        spawned.enteringDirectory = true;
        return spawned;
    }
    SpawnSetup setup(directory);
    pid_t pid = 0;
    int error = setup.Run(argv, &pid);
    if (error == ENOEXEC) {
        std::vector<std::string> script{kShell};
        script.insert(script.end(), argv.begin(), argv.end());
        error = setup.Run(script, &pid);
    }
    spawned.error = error;
    spawned.pid = error == 0 ? pid : 0;
    return spawned;
}

}  // namespace pavix
