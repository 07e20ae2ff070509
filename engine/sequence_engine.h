// The matching engine: registers the chords of the stored sequences, follows the user's presses
// from chord to chord and runs the commands of a sequence once all its chords have been pressed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/command_runner.h"
#include "engine/hotkey_registry.h"
#include "engine/sequence_matcher.h"
#include "platform/platform.h"
#include "storage/settings.h"

namespace pavix {

// What one press led to. Shares its code space with CommandResult, whose values pass through.
enum HotkeyOutcome : std::int32_t {
    kFirstKey = 0,
    kNextKey = 1,
    kMismatch = 2,
    kDone = kCommandDone,
    kFailed = kCommandFailed,
    kDisableHotkeys = kCommandDisableHotkeys,
    kAborted = 6,
    kExitProgram = kCommandExitProgram,
};

class SequenceEngine {
  public:
    SequenceEngine(Platform& platform, EngineReporter& reporter);
    virtual ~SequenceEngine();
    SequenceEngine(const SequenceEngine&) = delete;
    SequenceEngine& operator=(const SequenceEngine&) = delete;

    // Rebuilds the abort hotkey, the sequence hotkeys and the matchers from Config.dat and
    // Sequence.dat. True when Sequence.dat was read to its end (or to a damaged record).
    virtual bool Enable();
    // Unregisters every hotkey and drops every matcher and any search, and ends an enabling pass
    // under way (reached from one of its boxes). Plays nothing.
    virtual void Disable();
    virtual void Abort();
    virtual void SetWindow(WindowHandle window);
    virtual HotkeyOutcome OnHotkey(HotkeyId id);
    virtual void Reset();
    virtual void Timeout();
    virtual void EnableAndNotify();
    virtual void DisableAndNotify();
    virtual void PlaySound(SoundEvent event);

    // The longest pause allowed after an accepted key, in milliseconds.
    std::int32_t SearchTimeout() const { return settings_.Timeout(); }
    // False after Disable and after an enabling pass that could not use the data files.
    bool Enabled() const { return enabled_; }
    // The settings the last enabling pass loaded (the editors warn about the abort chord).
    const Settings& LoadedSettings() const { return settings_; }
    const HotkeyRegistry& Registry() const { return registry_; }
    HotkeyId AbortId() const { return abortId_; }
    std::uint32_t Position() const { return position_; }
    std::size_t MatcherCount() const { return matchers_->matchers.size(); }
    const SequenceMatcher& Matcher(std::size_t index) const { return matchers_->matchers[index]; }
    // Indexes into the matchers of the candidates still in the running, in order; valid until
    // the next call that changes the engine.
    const std::vector<std::size_t>& CandidateIndexes() const { return *candidates_; }

  private:
    // The matchers, and the bytes that their names and commands point into: the records of
    // Sequence.dat while the pass reads them, then only what the matchers use. The matchers keep
    // their memory from one Enable to the next.
    struct MatcherList {
        std::shared_ptr<const StoredRecords> records;
        ByteBlock kept;
        std::vector<SequenceMatcher> matchers;
    };

    // The ids of chords registered since the registry was last emptied, so that the chords that
    // most sequences share are found without a walk of the registry's map. Direct-mapped: a
    // collision only costs a lookup in the registry. A refused chord is never kept, so every
    // sequence that uses it tries it again.
    class RecentChords {
      public:
        RecentChords() { Clear(); }
        void Clear();
        HotkeyId Find(KeyChord chord) const;  // kNoHotkey when not kept
        void Keep(KeyChord chord, HotkeyId id);

      private:
        static constexpr std::size_t kSlotBits = 8;
        struct Slot {
            std::uint32_t packed;
            HotkeyId id;
        };
        static std::size_t SlotOf(KeyChord chord);
        std::array<Slot, std::size_t{1} << kSlotBits> slots_;
    };

    // Reads Sequence.dat whole and closes it. How the file opened.
    FileResult ReadSequences(StoredRecords& records);
    // Registers every chord of a usable record, the file's `number`th, then appends its matcher
    // to the engine's list; appends nothing (false) when a chord cannot be registered.
    bool Compile(const StoredRecord& record, std::uint32_t number,
                 const std::shared_ptr<StoredRecords>& records);
    // Moves the records of the matchers, given as runs of records side by side in the order of
    // the file, into a block of their own, so that the records of the skipped and refused
    // sequences go with the file's bytes. Costs nothing when every record made a matcher.
    void KeepOnlyUsedRecords(const std::vector<std::string_view>& runs, std::size_t fileBytes);
    // The two halves of disabling: the hotkeys, the search and the index's entries, then the
    // matchers (whose memory Enable keeps for the list it builds).
    void ReleaseHotkeys();
    void DropMatchers();
    // The first key of a search.
    HotkeyOutcome StartSearch(HotkeyId id);
    void EndSearch();
    HotkeyOutcome Complete(std::size_t matcher);

    Platform& platform_;
    EngineReporter& reporter_;
    HotkeyRegistry registry_;
    RecentChords recentChords_;  // emptied with the registry
    // Never null. Shared so that a matcher whose commands are running survives a Disable
    // reached from a modal loop inside those commands (an error box keeps the menu and hotkeys
    // alive).
    std::shared_ptr<MatcherList> matchers_;
    // Built beside matchers_ as each one joins, so a press during Enable (from the modal loop of
    // an error box) finds the matchers read so far, as a walk over matchers_ would.
    FirstKeyIndex firstKeys_;
    // Counts the enabling passes and disablings, so that a pass that an error box's modal loop
    // enabled again or disabled stops registering and adding to a list that is no longer its own.
    std::uint32_t passes_ = 0;
    // The candidates, as indexes into matchers_ in their order; empty while no search is under
    // way. After a first key they are the index's own list for that key, which is not copied;
    // after a later key, narrowed_.
    const std::vector<std::size_t>* candidates_ = &narrowed_;
    std::vector<std::size_t> narrowed_;
    std::uint32_t position_ = 0;
    HotkeyId abortId_ = kNoHotkey;
    bool enabled_ = false;
    Settings settings_;
    PlatformCommandRunner runner_;
};

}  // namespace pavix
