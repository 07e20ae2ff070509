#include "model/command.h"

#include "model/key_spelling.h"

namespace pavix {
namespace {

constexpr const char* kBuiltinSpellings[kBuiltinCommandCount] = {
    "Do nothing",       "Open Start Menu", "Disable Hotkey", "Exit Pavix",
    "Shutdown System",  "FORCE Shutdown",  "Reboot System",  "FORCE Reboot",
    "Logoff",           "FORCE Logoff",    "Standby System", "FORCE Standby",
    "Hibernate System", "FORCE Hibernate", "Lock System",    "Start Screen Saver",
};

}  // namespace

std::string BuiltinCommandSpelling(BuiltinCommandId id) {
    return kBuiltinSpellings[id < 0 || id >= kBuiltinCommandCount ? kDoNothing : id];
}

std::optional<BuiltinCommandId> FindBuiltinCommand(std::string_view spelling) {
    for (BuiltinCommandId id = 0; id < kBuiltinCommandCount; ++id) {
        if (SameSpelling(kBuiltinSpellings[id], spelling)) {
            return id;
        }
    }
    return std::nullopt;
}

CommandResult BuiltinCommand::Execute(CommandRunner& runner) const {
    return runner.RunBuiltin(id_);
}

std::string BuiltinCommand::Describe(BuiltinCommandNames& names) const {
    return names.Name(id_);
}

CommandResult ExternalCommand::Execute(CommandRunner& runner) const {
    // Commands run from a hotkey press have no window to own an error box.
    return runner.RunExternal(0, path_, parameter_, directory_) ? kCommandDone : kCommandFailed;
}

std::string ExternalCommand::Describe(BuiltinCommandNames&) const {
    return "[Cmd=\"" + path_ + "\"] [Param=\"" + parameter_ + "\"] [Dir=\"" + directory_ + "\"]";
}

std::unique_ptr<Command> Clone(const Command& command) {
    if (command.IsBuiltin()) {
        return std::make_unique<BuiltinCommand>(static_cast<const BuiltinCommand&>(command).Id());
    }
    const auto& external = static_cast<const ExternalCommand&>(command);
    return std::make_unique<ExternalCommand>(external.Path(), external.Parameter(),
                                             external.Directory());
}

}  // namespace pavix
