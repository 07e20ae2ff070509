#include "engine/sequence_engine.h"

#include "platform/constants.h"
#include "storage/sequence_file.h"

namespace pavix {

SequenceEngine::SequenceEngine(Platform& platform, EngineReporter& reporter)
    : platform_(platform),
      reporter_(reporter),
      registry_(platform, reporter),
      matchers_(std::make_shared<MatcherList>()),
      settings_(platform, reporter),
      runner_(platform, reporter) {}

SequenceEngine::~SequenceEngine() {
    Disable();
}

void SequenceEngine::SetWindow(WindowHandle window) {
    registry_.SetWindow(window);
    runner_.SetWindow(window);
}

void SequenceEngine::Reset() {
    position_ = 0;
    EndSearch();
}

void SequenceEngine::RecentChords::Clear() {
    slots_.fill(Slot{0, kNoHotkey});
}

HotkeyId SequenceEngine::RecentChords::Find(KeyChord chord) const {
    const Slot& slot = slots_[SlotOf(chord)];
    return slot.packed == chord.Packed() ? slot.id : kNoHotkey;
}

void SequenceEngine::RecentChords::Keep(KeyChord chord, HotkeyId id) {
    slots_[SlotOf(chord)] = Slot{chord.Packed(), id};
}

std::size_t SequenceEngine::RecentChords::SlotOf(KeyChord chord) {
    return (chord.Packed() * 0x9E3779B1u) >> (32 - kSlotBits);  // Fibonacci hashing
}

void SequenceEngine::EndSearch() {
    narrowed_.clear();
    candidates_ = &narrowed_;
}

void SequenceEngine::Abort() {
    Reset();
    PlaySound(kSoundAbort);
}

void SequenceEngine::Timeout() {
    Reset();
    PlaySound(kSoundTimeout);
}

void SequenceEngine::Disable() {
    ReleaseHotkeys();
    firstKeys_ = FirstKeyIndex();  // its memory too
    staged_ = StagedSequences();
    DropMatchers();
}

void SequenceEngine::ReleaseHotkeys() {
    enabled_ = false;
    registry_.UnregisterAll();
    recentChords_.Clear();
    EndSearch();
    firstKeys_.Clear();
}

void SequenceEngine::DropMatchers() {
    if (matchers_.use_count() == 1) {
        matchers_->clear();
    } else {  // commands of a matcher are running and hold the list (see Complete)
        matchers_ = std::make_shared<MatcherList>();
    }
}

void SequenceEngine::DisableAndNotify() {
    Disable();
    PlaySound(kSoundDisable);
}

void SequenceEngine::EnableAndNotify() {
    Enable();
    PlaySound(kSoundEnable);
}

void SequenceEngine::PlaySound(SoundEvent event) {
    const std::string path = settings_.SoundPath(event);
    if (!path.empty()) {
        platform_.PlaySoundA(path.c_str(), 0, kPlayFileAsync);
    }
}

HotkeyOutcome SequenceEngine::OnHotkey(HotkeyId id) {
    if (id == abortId_) {
        Abort();
        return kAborted;
    }
    if (candidates_->empty()) {
        return StartSearch(id);
    }
    // Walk in order, keeping the candidates that accept the press; the first to complete wins.
    const std::vector<std::size_t>& from = *candidates_;
    const MatcherList& matchers = *matchers_;
    narrowed_.resize(from.size());  // nothing to do when narrowing narrowed_ itself
    std::size_t kept = 0;
    for (const std::size_t candidate : from) {
        const MatchResult step = matchers[candidate].Step(position_, id);
        if (step == kComplete) {
            EndSearch();
            return Complete(candidate);
        }
        if (step == kPartial) {
            narrowed_[kept++] = candidate;
        }
    }
    narrowed_.resize(kept);
    candidates_ = &narrowed_;
    if (narrowed_.empty()) {
        PlaySound(kSoundMismatch);
        return kMismatch;
    }
    ++position_;
    PlaySound(kSoundMatch);
    return kNextKey;
}

// What stepping every matcher at position 0 would give: those that begin with `id` accept it, and
// the first of them that has no further key completes. Costs the same whatever their number.
HotkeyOutcome SequenceEngine::StartSearch(HotkeyId id) {
    position_ = 0;
    const FirstKeyIndex::Group* group = firstKeys_.Find(id);
    if (group == nullptr) {
        PlaySound(kSoundMismatch);
        return kMismatch;
    }
    if (group->completing != FirstKeyIndex::kNone) {
        return Complete(group->completing);
    }
    candidates_ = &group->matchers;
    position_ = 1;
    PlaySound(kSoundMatch);
    return kFirstKey;
}

HotkeyOutcome SequenceEngine::Complete(std::size_t matcher) {
    PlaySound(kSoundMatch);
    // A copy: the commands may reach Disable, which drops the engine's own reference.
    const std::shared_ptr<const MatcherList> matchers = matchers_;
    const CommandResult result = (*matchers)[matcher].ExecuteAll(runner_);
    if (result == kCommandDisableHotkeys) {
        DisableAndNotify();
    }
    return static_cast<HotkeyOutcome>(result);
}

// Disables in two steps, so that the blocks the old matchers free are the very blocks the new
// ones take: glibc merges every freed small block before it serves a large request, which for
// 100,000 sequences was a third of Enable. So the old matchers go only once Sequence.dat's buffer
// is allocated, and the index and the staged records keep their memory from one Enable to the
// next: nothing large is asked for between the frees and the reuse. Nothing observable moves:
// no hotkey, search or index entry outlives the first step, and the old matchers are unreachable.
bool SequenceEngine::Enable() {
    ReleaseHotkeys();
    if (settings_.Load() == FileResult::kUnusable) {
        DisableAndNotify();
        return false;
    }
    enabled_ = true;
    abortId_ = kNoHotkey;
    if (settings_.AbortKeyEnabled() != 0 && !registry_.Register(settings_.AbortKey(), &abortId_)) {
        abortId_ = kNoHotkey;
    }
    // A refused chord is told in a box, and a box's modal loop lets the user reach the file
    // meanwhile: the whole file is read and closed before the first sequence chord is registered.
    bool damaged = false;
    const FileResult opened = ReadSequences(damaged);
    DropMatchers();  // when the file could not be read
    if (opened == FileResult::kMissing) {
        return false;
    }
    if (opened == FileResult::kUnusable) {
        DisableAndNotify();
        return false;
    }
    // Held here while the chords register: a Disable from an error box releases staged_.
    StagedSequences staged = std::move(staged_);
    matchers_->reserve(staged.sequences.size());
    const KeyChord* keys = staged.keys.data();
    for (StagedSequence& sequence : staged.sequences) {
        const std::size_t count = sequence.ids.size();  // the matcher takes the ids
        Compile(sequence, keys);
        keys += count;
    }
    if (enabled_) {
        staged_ = std::move(staged);
    }
    if (damaged) {
        reporter_.ReportFileProblem(FileProblem::kDamagedRecord);
    }
    return true;
}

FileResult SequenceEngine::ReadSequences(bool& damaged) {
    StagedSequences& staged = staged_;
    staged.keys.clear();
    staged.sequences.clear();
    SequenceFile file(platform_, reporter_);
    const FileResult opened = file.Open(false);
    if (opened != FileResult::kOk) {
        return opened;
    }
    DropMatchers();   // after the file's buffer is allocated: see Enable
    Sequence record;  // its key array is reused from record to record
    while (file.Read(record)) {
        const std::vector<KeyChord>& keys = record.Keys();
        if (!keys.empty() && !record.Commands().empty()) {
            staged.keys.insert(staged.keys.end(), keys.begin(), keys.end());
            staged.sequences.push_back(StagedSequence{
                record.TakeName(), std::vector<HotkeyId>(keys.size()), record.TakeCommands()});
        }
        record.Clear();
    }
    damaged = file.Damaged();
    file.Close();
    return FileResult::kOk;
}

void SequenceEngine::Compile(StagedSequence& sequence, const KeyChord* keys) {
    for (HotkeyId& id : sequence.ids) {
        const KeyChord chord = *keys++;
        id = recentChords_.Find(chord);
        if (id == kNoHotkey) {
            if (!registry_.Register(chord, &id)) {
                return;
            }
            recentChords_.Keep(chord, id);
        }
    }
    // Appended only now: a press during an error box above must not find a matcher half built.
    SequenceMatcher& matcher = matchers_->emplace_back();
    matcher.SetName(std::move(sequence.name));
    matcher.SetKeys(std::move(sequence.ids));
    matcher.AddCommands(sequence.commands);
    // A search started during an error box keeps the candidates it had, whatever joins the
    // index after them.
    if (candidates_ != &narrowed_) {
        narrowed_ = *candidates_;
        candidates_ = &narrowed_;
    }
    firstKeys_.Add(matcher);
}

}  // namespace pavix
