#include "engine/sequence_engine.h"

#include <cstring>

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
    ++passes_;  // a pass under way (its box's modal loop reached here) registers nothing more
    ReleaseHotkeys();
    firstKeys_ = FirstKeyIndex();  // their memory too
    matchers_ = std::make_shared<MatcherList>();
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
        matchers_->matchers.clear();
        matchers_->records.reset();
        matchers_->kept = ByteBlock();
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
    const std::vector<SequenceMatcher>& matchers = matchers_->matchers;
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
    const CommandResult result = matchers->matchers[matcher].ExecuteAll(runner_);
    if (result == kCommandDisableHotkeys) {
        DisableAndNotify();
    }
    return static_cast<HotkeyOutcome>(result);
}

bool SequenceEngine::Enable() {
    const std::uint32_t pass = ++passes_;
    ReleaseHotkeys();
    DropMatchers();
    if (settings_.Load() == FileResult::kUnusable) {
        DisableAndNotify();
        return false;
    }
    enabled_ = true;
    abortId_ = kNoHotkey;
    HotkeyId abortId = kNoHotkey;
    if (settings_.AbortKeyEnabled() != 0 && !registry_.Register(settings_.AbortKey(), &abortId)) {
        abortId = kNoHotkey;
    }
    if (pass != passes_) {
        return false;  // the refused abort chord's box disabled or enabled the engine again
    }
    abortId_ = abortId;
    // A refused chord is told in a box, and a box's modal loop lets the user reach the file
    // meanwhile: the whole file is read and closed before the first sequence chord is registered.
    auto records = std::make_shared<StoredRecords>();
    const FileResult opened = ReadSequences(*records);
    if (opened == FileResult::kMissing) {
        return false;
    }
    if (opened == FileResult::kUnusable) {
        DisableAndNotify();
        return false;
    }
    // Held here as well as by the list: a Disable or Enable from an error box empties the list
    // while the record being compiled still points into the records.
    StoredRecord record;
    std::vector<std::string_view> used;
    std::uint32_t number = 0;
    while (pass == passes_ && records->Next(record)) {
        if (!Compile(record, ++number, records)) {
            continue;
        }
        if (!used.empty() && used.back().data() + used.back().size() == record.bytes.data()) {
            used.back() =
                std::string_view(used.back().data(), used.back().size() + record.bytes.size());
        } else {
            used.push_back(record.bytes);
        }
    }
    if (pass == passes_) {
        KeepOnlyUsedRecords(used, records->Size());
    }
    if (records->Damaged()) {
        reporter_.ReportFileProblem(FileProblem::kDamagedRecord);
    }
    return true;
}

// Without the memory for the block, the matchers go on pointing into the file's bytes.
void SequenceEngine::KeepOnlyUsedRecords(const std::vector<std::string_view>& runs,
                                         std::size_t fileBytes) {
    MatcherList& list = *matchers_;
    std::size_t total = 0;
    for (const std::string_view run : runs) {
        total += run.size();
    }
    if (total == fileBytes || matchers_.use_count() != 1 || !list.kept.Allocate(total)) {
        return;
    }
    char* target = list.kept.Data();
    for (const std::string_view run : runs) {
        std::memcpy(target, run.data(), run.size());
        target += run.size();
    }
    // Each matcher's views lie in its own record, and the matchers follow the runs' order.
    auto run = runs.begin();
    char* runTarget = list.kept.Data();
    for (SequenceMatcher& matcher : list.matchers) {
        while (matcher.Name().data() >= run->data() + run->size()) {
            runTarget += run->size();
            ++run;
        }
        auto moved = [&](std::string_view view) {
            return std::string_view(runTarget + (view.data() - run->data()), view.size());
        };
        matcher.SetName(moved(matcher.Name()));
        const StoredCommands commands = matcher.Commands();
        matcher.SetCommands(StoredCommands{moved(commands.bytes), commands.count});
    }
    list.records.reset();
}

FileResult SequenceEngine::ReadSequences(StoredRecords& records) {
    SequenceFile file(platform_, reporter_);
    const FileResult opened = file.Open(false);
    if (opened == FileResult::kOk) {
        records = file.TakeRecords();
        file.Close();
    }
    return opened;
}

// Only records with chords and commands make matchers.
bool SequenceEngine::Compile(const StoredRecord& record, std::uint32_t number,
                             const std::shared_ptr<StoredRecords>& records) {
    const std::size_t count = record.KeyCount();
    if (count == 0 || record.commands.count == 0) {
        return false;
    }
    std::vector<HotkeyId> ids(count);
    for (std::size_t i = 0; i < count; ++i) {
        const KeyChord chord = record.Key(i);
        HotkeyId id = recentChords_.Find(chord);
        if (id == kNoHotkey) {
            if (!registry_.Register(chord, &id)) {
                return false;
            }
            recentChords_.Keep(chord, id);
        }
        ids[i] = id;
    }
    // Appended only now, and to the list the engine holds now: a press during an error box above
    // must not find a matcher half built, and a Disable there gave the engine a new list.
    MatcherList& list = *matchers_;
    if (list.records != records) {
        list.records = records;
    }
    SequenceMatcher& matcher = list.matchers.emplace_back();
    matcher.SetName(record.name);
    matcher.SetNumber(number);
    matcher.SetKeys(std::move(ids));
    matcher.SetCommands(record.commands);
    // A search started during an error box keeps the candidates it had, whatever joins the
    // index after them.
    if (candidates_ != &narrowed_) {
        narrowed_ = *candidates_;
        candidates_ = &narrowed_;
    }
    firstKeys_.Add(matcher);
    return true;
}

}  // namespace pavix
