#include "model/command.h"

#include "resources/texts.h"

namespace pavix {
namespace {

constexpr std::uint32_t kBuiltinTextIds[kBuiltinCommandCount] = {
    11, 12, 31, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 26,
};

}  // namespace

std::uint32_t BuiltinCommandTextId(BuiltinCommandId id) {
    if (id < 0 || id >= kBuiltinCommandCount) {
        return kBuiltinTextIds[kDoNothing];
    }
    return kBuiltinTextIds[id];
}

CommandResult BuiltinCommand::Execute(CommandRunner& runner) const {
    return runner.RunBuiltin(id_);
}

std::string BuiltinCommand::Describe(Platform& platform) const {
    return LoadText(platform, BuiltinCommandTextId(id_));
}

CommandResult ExternalCommand::Execute(CommandRunner& runner) const {
    // Commands run from a hotkey press have no window to own an error box.
    return runner.RunExternal(0, path_, parameter_, directory_) ? kCommandDone : kCommandFailed;
}

std::string ExternalCommand::Describe(Platform&) const {
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
