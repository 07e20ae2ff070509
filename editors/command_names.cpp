#include "editors/command_names.h"

#include "resources/ids.h"
#include "resources/texts.h"

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

std::string StringTableCommandNames::Name(BuiltinCommandId id) {
    return LoadText(platform_, BuiltinCommandTextId(id));
}

std::string DescribeCommand(Platform& platform, const Command& command) {
    StringTableCommandNames names(platform);
    return command.Describe(names);
}

}  // namespace pavix
