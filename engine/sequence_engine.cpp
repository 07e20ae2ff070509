#include "engine/sequence_engine.h"

#include "platform/constants.h"
#include "storage/sequence_file.h"

namespace pavix {

SequenceEngine::SequenceEngine(Platform& platform, EngineReporter& reporter)
    : platform_(platform),
      reporter_(reporter),
      registry_(platform, reporter),
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
    enabled_ = false;
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
    std::vector<std::unique_ptr<Sequence>> sequences;
    bool damaged = false;
    const FileResult opened = ReadSequences(sequences, damaged);
    if (opened == FileResult::kMissing) {
        return false;
    }
    if (opened == FileResult::kUnusable) {
        DisableAndNotify();
        return false;
    }
    for (std::unique_ptr<Sequence>& sequence : sequences) {
        if (MatcherPtr matcher = Compile(*sequence)) {
            matchers_.push_back(std::move(matcher));
        }
        sequence.reset();
    }
    if (damaged) {
        reporter_.ReportFileProblem(FileProblem::kDamagedRecord);
    }
    return true;
}

FileResult SequenceEngine::ReadSequences(std::vector<std::unique_ptr<Sequence>>& sequences,
                                         bool& damaged) {
    SequenceFile file(platform_, reporter_);
    const FileResult opened = file.Open(false);
    if (opened != FileResult::kOk) {
        return opened;
    }
    auto sequence = std::make_unique<Sequence>();
    while (file.Read(*sequence)) {
        if (sequence->Keys().empty() || sequence->Commands().empty()) {
            sequence->Clear();
            continue;
        }
        sequences.push_back(std::move(sequence));
        sequence = std::make_unique<Sequence>();
    }
    damaged = file.Damaged();
    file.Close();
    return FileResult::kOk;
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
