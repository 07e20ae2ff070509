#include "engine/sequence_engine.h"

#include "platform/constants.h"
#include "resources/text_ids.h"
#include "resources/texts.h"
#include "storage/sequence_file.h"

namespace pavix {

SequenceEngine::SequenceEngine(Platform& platform)
    : platform_(platform),
      registry_(platform),
      matchers_(std::make_shared<MatcherList>()),
      settings_(platform),
      runner_(platform) {}

SequenceEngine::~SequenceEngine() {
    Disable();
}

void SequenceEngine::SetWindow(WindowHandle window) {
    registry_.SetWindow(window);
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
    registry_.UnregisterAll();
    recentChords_.Clear();
    EndSearch();
    firstKeys_.Clear();
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

bool SequenceEngine::Enable() {
    Disable();
    if (settings_.Load() == kFileUnusable) {
        DisableAndNotify();
        return false;
    }
    abortId_ = kNoHotkey;
    if (settings_.AbortKeyEnabled() != 0 && !registry_.Register(settings_.AbortKey(), &abortId_)) {
        abortId_ = kNoHotkey;
    }
    SequenceFile file(platform_);
    const int opened = file.Open(false);
    if (opened == kFileMissing) {
        return false;
    }
    if (opened == kFileUnusable) {
        DisableAndNotify();
        return false;
    }
    LoadSequences(file);
    file.Close();
    return true;
}

void SequenceEngine::LoadSequences(SequenceFile& file) {
    Sequence sequence;
    while (file.Read(sequence)) {
        if (!sequence.Keys().empty() && !sequence.Commands().empty()) {
            Compile(sequence);
        }
        sequence.Clear();
    }
    sequence.Clear();
    if (file.Damaged()) {
        ShowErrorText(platform_, kTextInvalidFormat);
    }
}

void SequenceEngine::Compile(Sequence& sequence) {
    std::vector<HotkeyId> ids;
    ids.reserve(sequence.Keys().size());
    for (KeyChord chord : sequence.Keys()) {
        HotkeyId id = recentChords_.Find(chord);
        if (id == kNoHotkey) {
            if (!registry_.Register(chord, &id)) {
                return;
            }
            recentChords_.Keep(chord, id);
        }
        ids.push_back(id);
    }
    // Appended only now: a press during an error box above must not find a matcher half built.
    SequenceMatcher& matcher = matchers_->emplace_back();
    matcher.SetKeys(std::move(ids));
    CommandArray commands = sequence.TakeCommands();
    matcher.AddCommands(commands);
    // A search started during an error box keeps the candidates it had, whatever joins the
    // index after them.
    if (candidates_ != &narrowed_) {
        narrowed_ = *candidates_;
        candidates_ = &narrowed_;
    }
    firstKeys_.Add(matcher);
}

}  // namespace pavix
