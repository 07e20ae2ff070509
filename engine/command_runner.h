// What the built-in commands do on the platform, and the launching of external commands.
#pragma once

#include <string>

#include "model/command.h"
#include "platform/platform.h"

namespace pavix {

// The main window, written once when it has been created; the Open Start Menu command posts its
// request there. 0 until then.
extern WindowHandle MainWindowHandle;

class PlatformCommandRunner final : public CommandRunner {
  public:
    explicit PlatformCommandRunner(Platform& platform) : platform_(platform) {}

    CommandResult RunBuiltin(BuiltinCommandId id) override;
    // Launches through the shell; a failure is shown with the system's reason.
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
};

}  // namespace pavix
