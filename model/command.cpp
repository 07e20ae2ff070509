#include "model/command.h"

#include "model/key_spelling.h"
#include "resources/ids.h"
#include "resources/string_table.h"

namespace pavix {
namespace {

constexpr std::uint32_t kBuiltinTextIds[kBuiltinCommandCount] = {
    ids::kTextDoNothing,        ids::kTextOpenStartMenu,  ids::kTextDisableHotkey,
    ids::kTextExitPavix,        ids::kTextShutdownSystem, ids::kTextForceShutdown,
    ids::kTextRebootSystem,     ids::kTextForceReboot,    ids::kTextLogoff,
    ids::kTextForceLogoff,      ids::kTextStandbySystem,  ids::kTextForceStandby,
    ids::kTextHibernateSystem,  ids::kTextForceHibernate, ids::kTextLockSystem,
    ids::kTextStartScreenSaver,
};

}  // namespace

std::uint32_t BuiltinCommandTextId(BuiltinCommandId id) {
    if (id < 0 || id >= kBuiltinCommandCount) {
        return kBuiltinTextIds[kDoNothing];
    }
    return kBuiltinTextIds[id];
}

std::string BuiltinCommandName(BuiltinCommandId id) {
    const char* name =
        resources::FindString(resources::Language::English, BuiltinCommandTextId(id));
    return name != nullptr ? name : "";
}

std::optional<BuiltinCommandId> FindBuiltinCommand(std::string_view englishName) {
    for (BuiltinCommandId id = 0; id < kBuiltinCommandCount; ++id) {
        if (SameSpelling(BuiltinCommandName(id), englishName)) {
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
