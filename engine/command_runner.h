// What the built-in commands do on the platform, and the launching of external commands.
#pragma once

#include <string>

#include "engine/engine_reporter.h"
#include "model/command.h"
#include "platform/platform.h"

namespace pavix {

class PlatformCommandRunner final : public CommandRunner {
  public:
    PlatformCommandRunner(Platform& platform, EngineReporter& reporter)
        : platform_(platform), reporter_(reporter) {}

    // The main window, to which Open Start Menu posts its request; 0 until it is known.
    void SetWindow(WindowHandle window) { window_ = window; }

    CommandResult RunBuiltin(BuiltinCommandId id) override;
    // Launches through the shell; a failure is reported with the system's reason.
    bool RunExternal(WindowHandle owner, const std::string& path, const std::string& parameter,
                     const std::string& directory) override;

    bool ExitSystem(std::uint32_t flags);
    bool SetPowerState(bool suspend, bool force);

  private:
    enum class FinalCall { kExitWindows, kPowerState };
    // The procedure shared by shutdown and power requests: on the NT family the shutdown
    // privilege is enabled first.
    bool RequestShutdown(FinalCall call, std::uint32_t flags, bool suspend, bool force);
    bool MakeFinalCall(FinalCall call, std::uint32_t flags, bool suspend, bool force);
    bool EnableShutdownPrivilege();
    CommandResult LockSystem();

    Platform& platform_;
    EngineReporter& reporter_;
    WindowHandle window_ = 0;
};

}  // namespace pavix
