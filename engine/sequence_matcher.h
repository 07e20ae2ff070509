// The compiled form of one sequence: the hotkey ids of its chords and the commands it runs.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/hotkey_registry.h"
#include "model/command.h"
#include "model/sequence.h"

namespace pavix {

enum MatchResult : std::int32_t {
    kNoMatch = 0,
    kPartial = 1,
    kComplete = 2,
};

class KeyMatcher {
  public:
    virtual ~KeyMatcher() = default;
    // Whether the id pressed at `position` continues this sequence, and whether it completes it.
    virtual MatchResult Step(std::uint32_t position, HotkeyId id) const;
    virtual void ClearKeys() { keys_.clear(); }
    void AddKey(HotkeyId id) { keys_.push_back(id); }
    const std::vector<HotkeyId>& Keys() const { return keys_; }

  private:
    std::vector<HotkeyId> keys_;
};

class CommandList {
  public:
    // Runs every command in order, whatever the earlier ones returned, and folds the results:
    // exit outranks disable, disable outranks everything else; failures stay with the command.
    virtual CommandResult ExecuteAll(CommandRunner& runner) const;
    // Takes over the commands; `commands` is left empty.
    virtual void AddCommands(CommandArray& commands);
    virtual ~CommandList() = default;
    std::size_t CommandCount() const { return commands_.size(); }

  private:
    CommandArray commands_;
};

class SequenceMatcher final : public KeyMatcher, public CommandList {
  public:
    // The sequence's name, for what the program shows while a search is under way.
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

  private:
    std::string name_;
};

}  // namespace pavix
