// The compiled form of one sequence: the hotkey ids of its chords and the commands it runs.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/hotkey_registry.h"
#include "model/command.h"
#include "model/sequence.h"
#include "storage/sequence_record.h"

namespace pavix {

enum MatchResult : std::int32_t {
    kNoMatch = 0,
    kPartial = 1,
    kComplete = 2,
};

class KeyMatcher {
  public:
    KeyMatcher() = default;
    KeyMatcher(KeyMatcher&&) = default;  // moved only while a list of matchers grows
    KeyMatcher& operator=(KeyMatcher&&) = default;
    virtual ~KeyMatcher() = default;
    // Whether the id pressed at `position` continues this sequence, and whether it completes it.
    virtual MatchResult Step(std::uint32_t position, HotkeyId id) const;
    virtual void ClearKeys() { keys_.clear(); }
    // Replaces the keys at once: what AddKey would build one id at a time.
    void SetKeys(std::vector<HotkeyId> keys) { keys_ = std::move(keys); }
    void AddKey(HotkeyId id) { keys_.push_back(id); }
    const std::vector<HotkeyId>& Keys() const { return keys_; }

  private:
    std::vector<HotkeyId> keys_;
};

// The commands of one sequence, kept as Sequence.dat holds them: each is built when the list
// runs, so a list costs no objects of its own while it waits.
class CommandList {
  public:
    // Builds and runs every command in order, whatever the earlier ones returned, and folds the
    // results: exit outranks disable, disable outranks everything else; failures stay with the
    // command.
    virtual CommandResult ExecuteAll(CommandRunner& runner) const;
    // Takes the commands of a checked record, whose bytes must outlive the list.
    virtual void SetCommands(const StoredCommands& commands) { commands_ = commands; }
    CommandList() = default;
    CommandList(CommandList&&) = default;
    CommandList& operator=(CommandList&&) = default;
    virtual ~CommandList() = default;
    std::size_t CommandCount() const { return commands_.count; }
    const StoredCommands& Commands() const { return commands_; }

  private:
    StoredCommands commands_;
};

class SequenceMatcher final : public KeyMatcher, public CommandList {
  public:
    // The sequence's name, for what the program shows while a search is under way; it points
    // into the same bytes as the commands.
    std::string_view Name() const { return name_; }
    void SetName(std::string_view name) { name_ = name; }
    // Its place in Sequence.dat, from 1: what names an unnamed sequence.
    std::uint32_t Number() const { return number_; }
    void SetNumber(std::uint32_t number) { number_ = number; }

  private:
    std::string_view name_;
    std::uint32_t number_ = 0;
};

// The matchers grouped by their first key, so that a press that starts a search reaches only the
// matchers that begin with it. Matchers are numbered by their place in the engine's list and are
// added in that order as each joins the list, so the index always covers exactly the list.
// Memory: one entry per matcher, and one group per hotkey id up to the largest first key.
class FirstKeyIndex {
  public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    struct Group {
        std::vector<std::size_t> matchers;  // in order
        // The first of them that has this key alone, which completes on it; kNone if none has.
        std::size_t completing = kNone;
    };

    // Adds the next matcher of the list; it has at least one key.
    void Add(const KeyMatcher& matcher);
    // Empties the index but keeps its memory for the next list.
    void Clear();
    // The matchers that begin with `id`; nullptr when none does.
    const Group* Find(HotkeyId id) const;

  private:
    std::vector<Group> groups_;  // by hotkey id
    std::size_t added_ = 0;
};

}  // namespace pavix
