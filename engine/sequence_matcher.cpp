#include "engine/sequence_matcher.h"

namespace pavix {

MatchResult KeyMatcher::Step(std::uint32_t position, HotkeyId id) const {
    if (position >= keys_.size() || keys_[position] != id) {
        return kNoMatch;
    }
    return position + 1 == keys_.size() ? kComplete : kPartial;
}

void FirstKeyIndex::Add(const KeyMatcher& matcher) {
    const std::vector<HotkeyId>& keys = matcher.Keys();
    const auto id = static_cast<std::size_t>(keys.front());
    if (id >= groups_.size()) {
        groups_.resize(id + 1);
    }
    Group& group = groups_[id];
    group.matchers.push_back(added_);
    if (keys.size() == 1 && group.completing == kNone) {
        group.completing = added_;
    }
    ++added_;
}

void FirstKeyIndex::Clear() {
    for (Group& group : groups_) {
        group.matchers.clear();
        group.completing = kNone;
    }
    added_ = 0;
}

const FirstKeyIndex::Group* FirstKeyIndex::Find(HotkeyId id) const {
    if (id < 0 || static_cast<std::size_t>(id) >= groups_.size()) {
        return nullptr;
    }
    const Group& group = groups_[static_cast<std::size_t>(id)];
    return group.matchers.empty() ? nullptr : &group;
}

CommandResult CommandList::ExecuteAll(CommandRunner& runner) const {
    CommandArray commands;
    BuildCommands(commands_, commands);
    CommandResult result = kCommandDone;
    for (const auto& command : commands) {
        const CommandResult one = command->Execute(runner);
        if (one == kCommandExitProgram) {
            result = kCommandExitProgram;
        } else if (one == kCommandDisableHotkeys && result != kCommandExitProgram) {
            result = kCommandDisableHotkeys;
        }
    }
    return result;
}

}  // namespace pavix
