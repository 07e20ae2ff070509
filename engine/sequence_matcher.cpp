#include "engine/sequence_matcher.h"

#include <iterator>

namespace pavix {

MatchResult KeyMatcher::Step(std::uint32_t position, HotkeyId id) const {
    if (position >= keys_.size() || keys_[position] != id) {
        return kNoMatch;
    }
    return position + 1 == keys_.size() ? kComplete : kPartial;
}

CommandResult CommandList::ExecuteAll(CommandRunner& runner) const {
    CommandResult result = kCommandDone;
    for (const auto& command : commands_) {
        const CommandResult one = command->Execute(runner);
        if (one == kCommandExitProgram) {
            result = kCommandExitProgram;
        } else if (one == kCommandDisableHotkeys && result != kCommandExitProgram) {
            result = kCommandDisableHotkeys;
        }
    }
    return result;
}

void CommandList::AddCommands(CommandArray& commands) {
    commands_.insert(commands_.end(), std::make_move_iterator(commands.begin()),
                     std::make_move_iterator(commands.end()));
    commands.clear();
}

}  // namespace pavix
