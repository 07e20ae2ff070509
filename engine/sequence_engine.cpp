#include "engine/sequence_engine.h"

#include <algorithm>

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
    candidates_.clear();
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
    candidates_.clear();
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
    if (candidates_.empty()) {
        position_ = 0;
        candidates_.reserve(matchers_.size());
        for (const MatcherPtr& matcher : matchers_) {
            candidates_.push_back(matcher.get());
        }
    }
    // Walk in order, keeping the candidates that accept the press; the first to complete wins.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        SequenceMatcher* candidate = candidates_[i];
        const MatchResult step = candidate->Step(position_, id);
        if (step == kComplete) {
            candidates_.clear();
            auto owner = std::find_if(matchers_.begin(), matchers_.end(),
                                      [&](const MatcherPtr& m) { return m.get() == candidate; });
            return Complete(*owner);
        }
        if (step == kPartial) {
            candidates_[kept++] = candidate;
        }
    }
    candidates_.resize(kept);
    if (candidates_.empty()) {
        PlaySound(kSoundMismatch);
        return kMismatch;
    }
    ++position_;
    PlaySound(kSoundMatch);
    return position_ == 1 ? kFirstKey : kNextKey;
}

HotkeyOutcome SequenceEngine::Complete(MatcherPtr matcher) {
    PlaySound(kSoundMatch);
    const CommandResult result = matcher->ExecuteAll(runner_);
    if (result == kCommandDisableHotkeys) {
        DisableAndNotify();
    }
    return static_cast<HotkeyOutcome>(result);
}

std::vector<std::size_t> SequenceEngine::CandidateIndexes() const {
    std::vector<std::size_t> indexes;
    std::size_t next = 0;
    for (SequenceMatcher* candidate : candidates_) {
        while (next < matchers_.size() && matchers_[next].get() != candidate) {
            ++next;
        }
        indexes.push_back(next);
    }
    return indexes;
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
