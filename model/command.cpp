#include "model/command.h"

namespace pavix {

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
