// Starting programs, the session and power calls (logind over D-Bus), the screen saver, sounds
// and the wording of errors.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/glib/glib_calls.h"
#include "platform/linux/glib/launch.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/spawn.h"

namespace pavix {
namespace {

constexpr std::intptr_t kStarted = 42;  // any answer above 32 is success
constexpr std::uint32_t kLastFailure = 32;

// A failure's answer: the codes up to 32 are also the shell's own for the same causes; any other
// must not read as success, so it becomes 0, the answer without a reason.
std::intptr_t FailureAnswer(std::uint32_t error) {
    return error <= kLastFailure ? static_cast<std::intptr_t>(error) : 0;
}

// GLib's wording of a failed start, which these boxes have always shown.
std::string SpawnFailureText(const Spawned& spawned, const Launch& launch) {
    const char* format = spawned.enteringDirectory ? "Failed to change to directory “%s” (%s)"
                                                   : "Failed to execute child process “%s” (%s)";
    const std::string& subject = spawned.enteringDirectory ? launch.directory : launch.argv[0];
    gchar* text = GLib().strdupPrintf(GLib().dgettext("glib20", format), subject.c_str(),
                                      GLib().strerror(spawned.error));
    const std::string copy = text;
    GLib().free(text);
    return copy;
}

std::uint32_t ErrorOfSpawn(const Spawned& spawned) {
    if (spawned.enteringDirectory) {
        return kErrorPathNotFound;
    }
    return spawned.error == ENOENT ? kErrorFileNotFound : kErrorAccessDenied;
}

// Reaped from the main loop whenever it ends.
void WatchChild(int pid) {
    GLib().childWatchAdd(
        pid, [](GPid child, gint, gpointer) { GLib().spawnClosePid(child); }, nullptr);
}

// The errno that a platform error code stands for, to word it in the user's language.
int ErrnoOf(std::uint32_t error) {
    switch (error) {
        case kErrorFileNotFound:
            return ENOENT;
        case kErrorPathNotFound:
            return ENOTDIR;
        case kErrorAccessDenied:
            return EACCES;
        case kErrorHandleDiskFull:
            return ENOSPC;
        case kErrorFileExists:
        case kErrorAlreadyExists:
            return EEXIST;
        case kErrorInvalidParameter:
            return EINVAL;
        default:
            return 0;
    }
}

}  // namespace

std::intptr_t LinuxPlatform::ShellExecuteA(WindowHandle, const char*, const char* file,
                                           const char* parameters, const char* directory,
                                           std::int32_t) {
    const Launch launch =
        PlanLaunch(file != nullptr ? file : "", parameters != nullptr ? parameters : "",
                   directory != nullptr ? directory : "");
    lastErrorText_.clear();
    if (launch.error != 0) {
        files_.SetLastError(launch.error);
        return FailureAnswer(launch.error);
    }
    const Spawned spawned = Spawn(launch.argv, launch.directory);
    if (spawned.error != 0) {
        files_.SetLastError(ErrorOfSpawn(spawned));
        lastErrorText_ = SpawnFailureText(spawned, launch);
        return FailureAnswer(GetLastError());
    }
    WatchChild(spawned.pid);
    files_.SetLastError(kErrorSuccess);
    return kStarted;
}

std::uint32_t LinuxPlatform::FormatMessageA(std::uint32_t flags, const void*,
                                            std::uint32_t messageId, std::uint32_t,
                                            char** allocated, std::uint32_t size) {
    std::string text;
    if (messageId == GetLastError() && !lastErrorText_.empty()) {
        text = lastErrorText_;
    } else if (messageId == GetLastError() && files_.LastErrno() != 0) {
        text = GLib().strerror(files_.LastErrno());
    } else if (ErrnoOf(messageId) != 0) {
        text = GLib().strerror(ErrnoOf(messageId));
    }
    if (text.empty() || allocated == nullptr) {
        return 0;
    }
    if ((flags & kFormatMessageAllocateBuffer) != 0) {
        *allocated = static_cast<char*>(std::malloc(text.size() + 1));
        if (*allocated == nullptr) {
            return 0;
        }
        std::memcpy(*allocated, text.c_str(), text.size() + 1);
        return static_cast<std::uint32_t>(text.size());
    }
    auto* buffer = reinterpret_cast<char*>(allocated);
    if (size == 0) {
        return 0;
    }
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<std::uint32_t>(length);
}

void LinuxPlatform::LocalFree(void* memory) {
    std::free(memory);
}

// `method` of the manager with its "interactive" flag, or of this session without one.
bool LinuxPlatform::CallLogind(const char* method, bool interactive) {
    lastErrorText_.clear();
    if (Module() == nullptr || !module_->CallLogind(method, interactive, &lastErrorText_)) {
        files_.SetLastError(kErrorAccessDenied);
        return false;
    }
    files_.SetLastError(kErrorSuccess);
    return true;
}

// A FORCE variant is logind's non-interactive form: no prompt, refused without the right.
// Logging off ends the session whether forced or not: logind has no gentler form.
bool LinuxPlatform::ExitWindowsEx(std::uint32_t flags, std::uint32_t) {
    const bool interactive = (flags & kEwxForce) == 0;
    if ((flags & kEwxPowerOff) != 0) {
        return CallLogind("PowerOff", interactive);
    }
    if ((flags & kEwxReboot) != 0) {
        return CallLogind("Reboot", interactive);
    }
    return CallLogind("Terminate", false);
}

bool LinuxPlatform::SetSystemPowerState(bool suspend, bool force) {
    return CallLogind(suspend ? "Suspend" : "Hibernate", !force);
}

bool LinuxPlatform::LockWorkStation() {
    return CallLogind("Lock", false);
}

bool LinuxPlatform::StartScreenSaver() {
    const Spawned spawned = Spawn({"xdg-screensaver", "activate"}, "");
    if (spawned.error != 0) {
        return false;
    }
    WatchChild(spawned.pid);
    return true;
}

// Windows 10's numbers: the program takes the NT family's way, where every command exists.
bool LinuxPlatform::GetVersionExA(OsVersionInfo* info) {
    info->majorVersion = 10;
    info->minorVersion = 0;
    info->buildNumber = 0;
    info->platformId = kVerPlatformWin32Nt;
    info->csdVersion[0] = '\0';
    return true;
}

KernelHandle LinuxPlatform::GetCurrentProcess() {
    return -1;
}

// No privilege is asked for here: logind and polkit decide when the call comes.
bool LinuxPlatform::OpenProcessToken(KernelHandle, std::uint32_t, KernelHandle* token) {
    *token = kTokenHandle;
    return true;
}

bool LinuxPlatform::LookupPrivilegeValueA(const char*, const char*, Luid* luid) {
    *luid = Luid{};
    return true;
}

bool LinuxPlatform::AdjustTokenPrivileges(KernelHandle, bool, const TokenPrivilege*) {
    files_.SetLastError(kErrorSuccess);
    return true;
}

// Asynchronous, and a new sound ends the one playing, as the platform plays them. The sound
// server is reached from the main loop's next iteration, in the order the sounds came: the caller
// goes on at once (a completed sequence's command starts before its sound, which may wait for the
// server). A missing file is refused at once; a sound server that cannot be reached is silence.
bool LinuxPlatform::PlaySoundA(const char* sound, ModuleHandle, std::uint32_t) {
    if (sound != nullptr && ::access(sound, R_OK) != 0) {
        files_.SetLastErrorFromErrno();
        return false;
    }
    const std::optional<std::string> file =
        sound != nullptr ? std::optional<std::string>(sound) : std::nullopt;
    deferred_.Add([this, file] { Play(file ? file->c_str() : nullptr); });
    return true;
}

void LinuxPlatform::Play(const char* sound) {
    if (Module() != nullptr) {
        module_->PlaySound(sound);
    }
}

}  // namespace pavix
