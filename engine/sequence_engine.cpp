#include "engine/sequence_engine.h"

#include "platform/constants.h"
#include "resources/text_ids.h"
#include "resources/texts.h"
#include "storage/sequence_file.h"

namespace pavix {

SequenceEngine::SequenceEngine(Platform& platform)
    : platform_(platform), registry_(platform), settings_(platform), runner_(platform) {}

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
    EndSearch();
    firstKeys_.Clear();
    matchers_.clear();
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
    narrowed_.resize(from.size());  // nothing to do when narrowing narrowed_ itself
    std::size_t kept = 0;
    for (const std::size_t candidate : from) {
        const MatchResult step = matchers_[candidate]->Step(position_, id);
        if (step == kComplete) {
            EndSearch();
            // A copy: the commands may reach Disable, which drops the engine's own reference.
            const MatcherPtr matcher = matchers_[candidate];
            return Complete(matcher);
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
        const MatcherPtr matcher = matchers_[group->completing];  // a copy, as above
        return Complete(matcher);
    }
    candidates_ = &group->matchers;
    position_ = 1;
    PlaySound(kSoundMatch);
    return kFirstKey;
}

HotkeyOutcome SequenceEngine::Complete(const MatcherPtr& matcher) {
    PlaySound(kSoundMatch);
    const CommandResult result = matcher->ExecuteAll(runner_);
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
            if (MatcherPtr matcher = Compile(sequence)) {
                // A search started during an error box keeps the candidates it had, whatever
                // joins the index after them.
                if (candidates_ != &narrowed_) {
                    narrowed_ = *candidates_;
                    candidates_ = &narrowed_;
                }
                firstKeys_.Add(*matcher);
                matchers_.push_back(std::move(matcher));
            }
        }
        sequence.Clear();
    }
    sequence.Clear();
    if (file.Damaged()) {
        ShowErrorText(platform_, kTextInvalidFormat);
    }
}

SequenceEngine::MatcherPtr SequenceEngine::Compile(Sequence& sequence) {
    auto matcher = std::make_shared<SequenceMatcher>();
    for (KeyChord chord : sequence.Keys()) {
        HotkeyId id = kNoHotkey;
        if (!registry_.Register(chord, &id)) {
            return nullptr;
        }
        matcher->AddKey(id);
    }
    CommandArray commands = sequence.TakeCommands();
    matcher->AddCommands(commands);
    return matcher;
}

}  // namespace pavix
