#include "engine/command_runner.h"

#include "platform/constants.h"
#include "storage/owned_handle.h"

namespace pavix {
namespace {

constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";
constexpr std::intptr_t kShellExecuteSucceeded = 32;  // ShellExecuteA returns more on success
// The first version with LockWorkStation: 4.90 (Windows Me).
constexpr std::uint32_t kLockMajor = 4;
constexpr std::uint32_t kLockMinor = 90;

CommandResult DoneIf(bool succeeded) {
    return succeeded ? kCommandDone : kCommandFailed;
}

}  // namespace

CommandResult PlatformCommandRunner::RunBuiltin(BuiltinCommandId id) {
    switch (static_cast<std::uint32_t>(id)) {
        case kDoNothing:
            return kCommandDone;
        case kOpenStartMenu:
            platform_.PostMessageA(window_, kWmSysCommand, kScTaskList, 0);
            return kCommandDone;
        case kDisableHotkey:
            return kCommandDisableHotkeys;
        case kExitPavix:
            return kCommandExitProgram;
        case kShutdownSystem:
            return DoneIf(ExitSystem(kEwxPowerOff));
        case kForceShutdown:
            return DoneIf(ExitSystem(kEwxPowerOff | kEwxForce));
        case kRebootSystem:
            return DoneIf(ExitSystem(kEwxReboot));
        case kForceReboot:
            return DoneIf(ExitSystem(kEwxReboot | kEwxForce));
        case kLogoff:
            return DoneIf(ExitSystem(kEwxLogoff));
        case kForceLogoff:
            return DoneIf(ExitSystem(kEwxLogoff | kEwxForce));
        case kStandbySystem:
            return DoneIf(SetPowerState(true, false));
        case kForceStandby:
            return DoneIf(SetPowerState(true, true));
        case kHibernateSystem:
            return DoneIf(SetPowerState(false, false));
        case kForceHibernate:
            return DoneIf(SetPowerState(false, true));
        case kLockSystem:
            return LockSystem();
        case kStartScreenSaver:
            platform_.PostMessageA(kHwndBroadcast, kWmSysCommand, kScScreenSave, 0);
            return kCommandDone;
        default:
            return kCommandFailed;
    }
}

CommandResult PlatformCommandRunner::LockSystem() {
    OsVersionInfo version;
    version.size = sizeof(OsVersionInfo);
    if (!platform_.GetVersionExA(&version)) {
        return kCommandFailed;
    }
    const bool supported =
        version.majorVersion > kLockMajor ||
        (version.majorVersion == kLockMajor && version.minorVersion >= kLockMinor);
    return DoneIf(supported && platform_.LockWorkStation());
}

bool PlatformCommandRunner::ExitSystem(std::uint32_t flags) {
    return RequestShutdown(FinalCall::kExitWindows, flags, false, false);
}

bool PlatformCommandRunner::SetPowerState(bool suspend, bool force) {
    return RequestShutdown(FinalCall::kPowerState, 0, suspend, force);
}

bool PlatformCommandRunner::RequestShutdown(FinalCall call, std::uint32_t flags, bool suspend,
                                            bool force) {
    OsVersionInfo version;
    version.size = sizeof(OsVersionInfo);
    if (!platform_.GetVersionExA(&version)) {
        return false;
    }
    switch (version.platformId) {
        case kVerPlatformWin32Nt:
            return EnableShutdownPrivilege() && MakeFinalCall(call, flags, suspend, force);
        case kVerPlatformWin32s:
        case kVerPlatformWin32Windows:
            // The older families have no privileges, and their answer is not trusted.
            MakeFinalCall(call, flags, suspend, force);
            return true;
        default:
            return true;
    }
}

bool PlatformCommandRunner::MakeFinalCall(FinalCall call, std::uint32_t flags, bool suspend,
                                          bool force) {
    if (call == FinalCall::kExitWindows) {
        return platform_.ExitWindowsEx(flags, 0);
    }
    return platform_.SetSystemPowerState(suspend, force);
}

bool PlatformCommandRunner::EnableShutdownPrivilege() {
    KernelHandle rawToken = 0;
    if (!platform_.OpenProcessToken(platform_.GetCurrentProcess(),
                                    kTokenAdjustPrivileges | kTokenQuery, &rawToken)) {
        return false;
    }
    const OwnedHandle token(platform_, rawToken);
    TokenPrivilege privilege;
    privilege.privilegeCount = 1;
    privilege.attributes = kSePrivilegeEnabled;
    platform_.LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &privilege.luid);
    platform_.AdjustTokenPrivileges(token.Get(), false, &privilege);
    // AdjustTokenPrivileges succeeds even when the privilege was not granted; only the last
    // error tells.
    return platform_.GetLastError() == kErrorSuccess;
}

bool PlatformCommandRunner::RunExternal(WindowHandle owner, const std::string& path,
                                        const std::string& parameter,
                                        const std::string& directory) {
    const std::intptr_t answer = platform_.ShellExecuteA(
        owner, nullptr, path.c_str(), parameter.c_str(), directory.c_str(), kSwShow);
    if (answer > kShellExecuteSucceeded) {
        return true;
    }
    const std::uint32_t error = platform_.GetLastError();
    char* reason = nullptr;
    const std::uint32_t length = platform_.FormatMessageA(
        kFormatMessageFromSystem | kFormatMessageIgnoreInserts | kFormatMessageAllocateBuffer,
        nullptr, error, kLangUserDefault, &reason, 0);
    std::string reasonText;
    if (reason != nullptr) {
        reasonText.assign(reason, length);
        platform_.LocalFree(reason);
    }
    reporter_.ReportLaunchFailed(reasonText);
    return false;
}

}  // namespace pavix
