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
        candidates_.resize(matchers_.size());
        for (std::size_t i = 0; i < matchers_.size(); ++i) {
            candidates_[i] = i;
        }
    }
    // Walk in order, keeping the candidates that accept the press; the first to complete wins.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const std::size_t candidate = candidates_[i];
        const MatchResult step = matchers_[candidate]->Step(position_, id);
        if (step == kComplete) {
            candidates_.clear();
            // A copy: the commands may reach Disable, which drops the engine's own reference.
            const MatcherPtr matcher = matchers_[candidate];
            return Complete(matcher);
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
    matcher->SetName(sequence.Name());
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
