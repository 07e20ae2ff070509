#include "editors/command_names.h"

#include "resources/texts.h"
#include "wording/wording.h"

namespace pavix {

std::string StringTableCommandNames::Name(BuiltinCommandId id) {
    return LoadText(platform_, BuiltinCommandTextId(id));
}

std::string DescribeCommand(Platform& platform, const Command& command) {
    StringTableCommandNames names(platform);
    return command.Describe(names);
}

}  // namespace pavix
