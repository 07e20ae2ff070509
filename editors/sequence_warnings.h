// What the sequence editor warns about: every sequence that can never run, and why, in plain
// words that name the sequence that runs instead, and every sequence that runs less often than
// its user may think. Warnings, not refusals: the editor saves such sequences all the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/conflicts.h"
#include "model/sequence.h"
#include "platform/platform.h"

namespace pavix {

// The id under which a chord is registered for an instant to learn whether it is free.
constexpr std::int32_t kProbeHotkeyId = 0xBFFF;

class SequenceWarnings {
  public:
    // `abortChord`: the chord of the abort key while its switch is on.
    SequenceWarnings(Platform& platform, std::optional<KeyChord> abortChord)
        : platform_(platform), abortChord_(abortChord) {}

    // Takes in the list as it is now. A chord not seen before is registered for an instant
    // through `window` to learn whether the platform takes it as a hotkey: one it refuses, held
    // by another program (while an editor is open Pavix holds none) or refused for any other
    // reason, keeps every sequence with it from running. The answer is kept for the editor's
    // life. True when a mark came or went.
    bool Update(const SequenceList& list, WindowHandle window);
    // Whether sequence `index` of the list last taken in can never run.
    bool Marked(std::size_t index) const;
    // Why it can never run, and what its chords without a modifier cost (they are not heard
    // while a program that runs as administrator has the focus, and no program gets those keys
    // while Pavix is enabled); empty when there is nothing to say. Needs the same list as the
    // last Update.
    std::string Reason(const SequenceList& list, std::size_t index);

  private:
    static std::vector<KeyChord> BareChords(const Sequence& sequence);
    // The platform's error when it refuses `chord` as a hotkey; none when it takes it.
    using Refusal = std::optional<std::uint32_t>;
    struct RefusedChord {
        KeyChord chord;
        std::uint32_t error = 0;
    };

    Refusal Probe(KeyChord chord, WindowHandle window);
    std::vector<RefusedChord> RefusedChords(const Sequence& sequence) const;
    std::string RefusalLine(const std::vector<RefusedChord>& refused, std::uint32_t error);
    std::string SystemText(std::uint32_t error);

    Platform& platform_;
    std::optional<KeyChord> abortChord_;
    std::vector<Conflict> conflicts_;
    std::vector<bool> refused_;
    std::map<KeyChord, Refusal> refusals_;
};

}  // namespace pavix
