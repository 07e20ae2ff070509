// The engine driven by a random script of file changes, presses, aborts, time-outs, enables and
// disables, with a plain model of the matching rules beside it. After every step the engine must
// agree with the model and keep its invariants: candidates in the order of the matchers, registry
// ids exactly 0..n-1 and each held by the platform, every matcher id registered. ASan and LSan
// watch the memory throughout.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "editors/error_boxes.h"
#include "engine/sequence_engine.h"
#include "fake/fake_platform.h"
#include "fuzz/byte_stream.h"
#include "fuzz/check.h"
#include "fuzz/file_format.h"
#include "storage/sequence_file.h"

namespace pavix::fuzz {
namespace {

constexpr WindowHandle kWindow = 0x1234;
constexpr std::size_t kMostSteps = 4096;
constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;
// Few chords, so that sequences share them and presses often fit.
constexpr Chord kAlphabet[] = {
    {kCtrlAlt, 'A'}, {kCtrlAlt, 'B'},  {kCtrlAlt, 'C'},
    {kModAlt, 'A'},  {0, 0x70},        {kModShift | kModWin, 'A'},
    {kCtrlAlt, 'Z'}, {0xFFFF, 0xFFFF},
};
constexpr std::size_t kAlphabetSize = sizeof kAlphabet / sizeof kAlphabet[0];

KeyChord ToChord(Chord chord) {
    return KeyChord{chord.modifiers, chord.virtualKey};
}

// What the engine should hold, computed from the files by the rules alone.
class Model {
  public:
    struct Matcher {
        std::vector<HotkeyId> keys;
        std::int32_t result = 0;  // what its commands fold to
    };

    std::map<KeyChord, HotkeyId> registry;
    std::vector<Matcher> matchers;
    std::vector<std::size_t> candidates;
    std::uint32_t position = 0;
    HotkeyId abortId = kNoHotkey;
    std::set<KeyChord> taken;  // chords another program holds

    void Reset() {
        position = 0;
        candidates.clear();
    }
    void Disable() {
        registry.clear();
        matchers.clear();
        candidates.clear();
    }

    // `config` and `sequences` are null for a missing file.
    void Enable(const std::string* config, const std::string* sequences) {
        Disable();
        if (config != nullptr) {
            const ParsedConfig parsed = ParseConfig(*config);
            if (parsed.result != FileResult::kOk) {
                return;  // disabled again
            }
            abortEnabled_ = parsed.abortEnabled;
            abortKey_ = ToChord(parsed.abortKey);
        }  // a missing Config.dat leaves the abort switch and chord as they were
        abortId = kNoHotkey;
        if (abortEnabled_ != 0) {
            Register(abortKey_, &abortId);
        }
        if (sequences == nullptr) {
            return;
        }
        const ParsedSequenceFile parsed = ParseSequenceFile(*sequences);
        if (parsed.openResult != FileResult::kOk) {
            Disable();
            return;
        }
        for (const SequenceSpec& record : parsed.records) {
            if (record.keys.empty() || record.commands.empty()) {
                continue;
            }
            Matcher matcher;
            bool registered = true;
            for (const Chord& key : record.keys) {
                HotkeyId id = kNoHotkey;
                if (!Register(ToChord(key), &id)) {
                    registered = false;
                    break;
                }
                matcher.keys.push_back(id);
            }
            if (registered) {
                matcher.result = FoldedResult(record.commands);
                matchers.push_back(std::move(matcher));
            }
        }
    }

    std::int32_t OnHotkey(HotkeyId id) {
        if (id == abortId) {
            Reset();
            return kAborted;
        }
        if (candidates.empty()) {
            position = 0;
            for (std::size_t i = 0; i < matchers.size(); ++i) {
                candidates.push_back(i);
            }
        }
        std::vector<std::size_t> kept;
        for (std::size_t index : candidates) {
            const std::vector<HotkeyId>& keys = matchers[index].keys;
            if (position >= keys.size() || keys[position] != id) {
                continue;
            }
            if (position + 1 == keys.size()) {
                const std::int32_t result = matchers[index].result;
                candidates.clear();
                if (result == kDisableHotkeys) {
                    Disable();
                }
                return result;
            }
            kept.push_back(index);
        }
        candidates = kept;
        if (candidates.empty()) {
            return kMismatch;
        }
        ++position;
        return position == 1 ? kFirstKey : kNextKey;
    }

  private:
    bool Register(KeyChord chord, HotkeyId* id) {
        if (auto found = registry.find(chord); found != registry.end()) {
            *id = found->second;
            return true;
        }
        if (taken.count(chord) != 0) {
            *id = kNoHotkey;
            return false;
        }
        *id = static_cast<HotkeyId>(registry.size());
        registry.emplace(chord, *id);
        return true;
    }

    std::int32_t abortEnabled_ = 0;
    KeyChord abortKey_{};
};

class Harness {
  public:
    // PAVIX_FUZZ_TRACE set: every step and outcome is printed, to follow a failing input.
    Harness()
        : boxes_(platform_),
          engine_(platform_, boxes_),
          trace_(std::getenv("PAVIX_FUZZ_TRACE") != nullptr) {
        platform_.recording = false;
        ErrorBoxes namesBoxes(platform_);
        SequenceFile names(platform_, namesBoxes);
        sequencePath_ = names.Path();
        ErrorBoxes settingsBoxes(platform_);
        Settings settings(platform_, settingsBoxes);
        configPath_ = settings.Path();
        engine_.SetWindow(kWindow);
    }

    void Run(ByteStream& input) {
        for (std::size_t step = 0; step < kMostSteps && !input.Empty(); ++step) {
            Step(input);
            Check();
        }
    }

  private:
    void Step(ByteStream& input) {
        const std::size_t step = input.Below(20);
        if (trace_) {
            std::fprintf(stderr, "step %zu\n", step);
        }
        switch (step) {
            case 0:
                WriteSequences(input);
                break;
            case 1:
                WriteConfig(input);
                break;
            case 2:
                platform_.files.erase(sequencePath_);
                break;
            case 3:
                ToggleTaken(ToChord(kAlphabet[input.Below(kAlphabetSize)]));
                break;
            case 4:
            case 5:
                engine_.Enable();
                EnableModel();
                break;
            case 6:
                engine_.EnableAndNotify();
                EnableModel();
                break;
            case 7:
                engine_.Disable();
                model_.Disable();
                break;
            case 8:
                engine_.DisableAndNotify();
                model_.Disable();
                break;
            case 9:
                engine_.Abort();
                model_.Reset();
                break;
            case 10:
                engine_.Timeout();
                model_.Reset();
                break;
            case 11:
                engine_.Reset();
                model_.Reset();
                break;
            case 12:
            case 13:
            case 14:
            case 15:
                Press(RegisteredId(input.Byte()));
                break;
            case 16:
            case 17:
                PressChord(ToChord(kAlphabet[input.Below(kAlphabetSize)]));
                break;
            case 18:
                Press(static_cast<std::int8_t>(input.Byte()));
                break;
            default:
                Press(LikelyId(input.Byte()));
                break;
        }
    }

    void WriteSequences(ByteStream& input) {
        std::vector<SequenceSpec> records(input.Below(16));
        for (std::size_t i = 0; i < records.size(); ++i) {
            SequenceSpec& record = records[i];
            record.name = "s" + std::to_string(i);
            record.keys.resize(input.Below(5));
            for (Chord& key : record.keys) {
                key = kAlphabet[input.Below(kAlphabetSize)];
            }
            record.commands.resize(input.Below(3));
            for (CommandSpec& command : record.commands) {
                const std::uint8_t choice = input.Byte();
                if (choice < 0xF0) {
                    command.id = choice % 16;
                } else if (choice < 0xF8) {
                    command.builtin = false;
                    command.path = "tool.exe";
                    command.parameter = std::string(choice & 7, 'p');
                } else if (choice < 0xFC) {
                    command.id = choice < 0xFA ? 16 : -1;  // an id the reader rejects
                } else {
                    command.builtin = false;
                    command.storedKind = choice < 0xFE ? 2 : -1;  // a kind the reader rejects
                }
            }
        }
        std::string bytes = testing::SequenceFileBytes(records);
        if (input.Byte() & 1) {
            bytes.resize(input.UInt16() % (bytes.size() + 1));
        }
        platform_.files[sequencePath_] = bytes;
    }

    void WriteConfig(ByteStream& input) {
        ConfigSpec values;
        values.sounds = {"m", "mm", "a", "t", "e", "d"};
        switch (input.Below(5)) {
            case 0:
                platform_.files.erase(configPath_);
                return;
            case 1:
                break;
            case 2:
                values.abortEnabled = 1;
                values.abortKey = kAlphabet[input.Below(kAlphabetSize)];
                break;
            case 3:
                values.abortEnabled = static_cast<std::int8_t>(input.Byte());
                values.abortKey = kAlphabet[input.Below(kAlphabetSize)];
                break;
            default: {
                std::string bytes = testing::ConfigFileBytes(values);
                bytes.resize(input.Byte() * std::size_t{6});  // always short: unusable
                platform_.files[configPath_] = bytes;
                return;
            }
        }
        platform_.files[configPath_] = testing::ConfigFileBytes(values);
    }

    void ToggleTaken(KeyChord chord) {
        const auto pair =
            std::make_pair<std::uint32_t, std::uint32_t>(chord.modifiers, chord.keyCode);
        if (model_.taken.erase(chord) != 0) {
            platform_.takenChords.erase(pair);
        } else {
            model_.taken.insert(chord);
            platform_.takenChords.insert(pair);
        }
    }

    void EnableModel() {
        const auto file = [&](const std::string& path) -> const std::string* {
            const auto found = platform_.files.find(path);
            return found == platform_.files.end() ? nullptr : &found->second;
        };
        model_.Enable(file(configPath_), file(sequencePath_));
    }

    HotkeyId RegisteredId(std::uint8_t choice) {
        const std::size_t count = model_.registry.size();
        return count == 0 ? static_cast<HotkeyId>(choice % 3) - 1
                          : static_cast<HotkeyId>(choice % count);
    }

    // What the user's keyboard does: only a registered chord reaches the engine.
    void PressChord(KeyChord chord) {
        const auto found = model_.registry.find(chord);
        if (found != model_.registry.end()) {
            Press(found->second);
        }
    }

    // The next key of a candidate, or the first key of a matcher when no search is under way: a
    // press that moves towards a completion.
    HotkeyId LikelyId(std::uint8_t choice) {
        if (!model_.candidates.empty()) {
            const auto& keys =
                model_.matchers[model_.candidates[choice % model_.candidates.size()]].keys;
            return keys[model_.position];
        }
        if (!model_.matchers.empty()) {
            return model_.matchers[choice % model_.matchers.size()].keys[0];
        }
        return RegisteredId(choice);
    }

    void Press(HotkeyId id) {
        const std::int32_t expected = model_.OnHotkey(id);
        const HotkeyOutcome outcome = engine_.OnHotkey(id);
        if (trace_) {
            std::fprintf(stderr, "  press %d: %d (model %d), %zu candidates\n", id, outcome,
                         expected, model_.candidates.size());
        }
        PAVIX_FUZZ_CHECK(outcome == expected);
    }

    void Check() {
        // The registry: exactly what the model registered, ids 0..n-1, all held by the platform.
        const std::map<KeyChord, HotkeyId>& hotkeys = engine_.Registry().Hotkeys();
        PAVIX_FUZZ_CHECK(hotkeys == model_.registry);
        std::vector<bool> seen(hotkeys.size(), false);
        for (const auto& [chord, id] : hotkeys) {
            PAVIX_FUZZ_CHECK(id >= 0 && static_cast<std::size_t>(id) < hotkeys.size());
            PAVIX_FUZZ_CHECK(!seen[static_cast<std::size_t>(id)]);
            seen[static_cast<std::size_t>(id)] = true;
            const auto held = platform_.hotkeys.find(id);
            PAVIX_FUZZ_CHECK(held != platform_.hotkeys.end());
            PAVIX_FUZZ_CHECK(held->second.first == chord.modifiers &&
                             held->second.second == chord.keyCode);
        }
        PAVIX_FUZZ_CHECK(platform_.hotkeys.size() == hotkeys.size());

        // The matchers: the model's, each id registered.
        PAVIX_FUZZ_CHECK(engine_.MatcherCount() == model_.matchers.size());
        for (std::size_t i = 0; i < engine_.MatcherCount(); ++i) {
            const std::vector<HotkeyId>& keys = engine_.Matcher(i).Keys();
            PAVIX_FUZZ_CHECK(keys == model_.matchers[i].keys);
            for (HotkeyId id : keys) {
                PAVIX_FUZZ_CHECK(id >= 0 && static_cast<std::size_t>(id) < hotkeys.size());
            }
        }
        if (engine_.MatcherCount() != 0) {
            const HotkeyId abortId = engine_.AbortId();
            PAVIX_FUZZ_CHECK(abortId == kNoHotkey ||
                             (abortId >= 0 && static_cast<std::size_t>(abortId) < hotkeys.size()));
        }
        PAVIX_FUZZ_CHECK(engine_.AbortId() == model_.abortId);

        // The candidates: the model's, in the order of the matchers.
        const std::vector<std::size_t> candidates = engine_.CandidateIndexes();
        PAVIX_FUZZ_CHECK(candidates == model_.candidates);
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            PAVIX_FUZZ_CHECK(candidates[i] < engine_.MatcherCount());
            PAVIX_FUZZ_CHECK(i == 0 || candidates[i - 1] < candidates[i]);
        }
        if (!candidates.empty()) {
            PAVIX_FUZZ_CHECK(engine_.Position() == model_.position);
        }
        PAVIX_FUZZ_CHECK(platform_.OpenFileCount() == 0);
    }

    fake::FakePlatform platform_;
    ErrorBoxes boxes_;
    SequenceEngine engine_;
    Model model_;
    std::string sequencePath_;
    std::string configPath_;
    bool trace_;
};

}  // namespace
}  // namespace pavix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pavix::fuzz::ByteStream input(data, size);
    pavix::fuzz::Harness harness;
    harness.Run(input);
    return 0;
}
