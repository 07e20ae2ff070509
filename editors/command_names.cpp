#include "editors/command_names.h"

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

std::string StringTableCommandNames::Name(BuiltinCommandId id) {
    return LoadText(platform_, BuiltinCommandTextId(id));
}

std::string DescribeCommand(Platform& platform, const Command& command) {
    StringTableCommandNames names(platform);
    return command.Describe(names);
}

}  // namespace pavix
