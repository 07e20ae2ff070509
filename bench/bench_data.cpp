#include "bench/bench_data.h"

#include <cstdint>
#include <memory>

#include "editors/error_boxes.h"
#include "platform/constants.h"
#include "storage/sequence_file.h"
#include "storage/settings.h"

namespace pavix::bench {
namespace {

constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;
constexpr char kPopularKeys[kPopularFirstChords] = {'E', 'W', 'M', 'T', 'N', 'B', 'F', 'G'};
// Later chords: 4 modifier sets x 26 letters for the second, 4 x 36 keys for the third.
constexpr std::uint16_t kSecondModifiers[] = {kCtrlAlt, kModControl | kModShift, kModAlt,
                                              kModControl};
constexpr std::uint16_t kThirdModifiers[] = {kCtrlAlt, kModAlt | kModShift, kModControl, 0};
constexpr char kThirdKeys[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
// How the first chords share out among the sequences, out of 32: the first takes a quarter.
constexpr int kFirstChordShares[kPopularFirstChords] = {8, 6, 5, 4, 3, 3, 2, 1};

// A small, fixed pseudo-random source (SplitMix64), so that every run builds the same list.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t limit) { return static_cast<std::size_t>(Next() % limit); }

  private:
    std::uint64_t state_;
};

KeyChord FirstChord(Random& random) {
    int share = static_cast<int>(random.Below(32));
    std::size_t index = 0;
    while (share >= kFirstChordShares[index]) {
        share -= kFirstChordShares[index];
        ++index;
    }
    return KeyChord{kCtrlAlt, static_cast<std::uint16_t>(kPopularKeys[index])};
}

KeyChord SecondChord(Random& random) {
    return KeyChord{kSecondModifiers[random.Below(4)],
                    static_cast<std::uint16_t>('A' + random.Below(26))};
}

KeyChord ThirdChord(Random& random) {
    return KeyChord{kThirdModifiers[random.Below(4)],
                    static_cast<std::uint16_t>(kThirdKeys[random.Below(36)])};
}

// Any of the 16 modifier sets with one of 100 keys from 0x30 on (digits, letters and beyond).
KeyChord SpreadChord(Random& random) {
    return KeyChord{static_cast<std::uint16_t>(random.Below(16)),
                    static_cast<std::uint16_t>(0x30 + random.Below(100))};
}

}  // namespace

KeyChord MostPopularFirstChord() {
    return KeyChord{kCtrlAlt, static_cast<std::uint16_t>(kPopularKeys[0])};
}

SequenceList MakeSequences(std::size_t count) {
    Random random(count);
    SequenceList list;
    for (std::size_t i = 0; i < count; ++i) {
        auto sequence = std::make_unique<Sequence>("Sequence " + std::to_string(i));
        sequence->AppendKey(FirstChord(random));
        sequence->AppendKey(SecondChord(random));
        sequence->AppendKey(ThirdChord(random));
        sequence->AppendCommand(
            std::make_unique<BuiltinCommand>(static_cast<BuiltinCommandId>(i % 2 ? 0 : 15)));
        sequence->AppendCommand(std::make_unique<ExternalCommand>(
            "C:\\Program Files\\Tools\\tool" + std::to_string(i % 50) + ".exe",
            "--open \"C:\\Users\\me\\Documents\\note " + std::to_string(i) + ".txt\"",
            "C:\\Users\\me"));
        list.Append(std::move(sequence));
    }
    return list;
}

SequenceList MakeSpreadSequences(std::size_t count) {
    Random random(count + 1);
    SequenceList list = MakeSequences(count);
    for (std::size_t i = 0; i < count; ++i) {
        Sequence& sequence = list.At(i);
        sequence.ReplaceKey(0, SpreadChord(random));
        sequence.ReplaceKey(1, SpreadChord(random));
    }
    return list;
}

SequenceList MakeLongSequence(std::size_t chords) {
    Random random(chords);
    auto sequence = std::make_unique<Sequence>("Long");
    sequence->ReserveKeys(chords);
    for (std::size_t i = 0; i < chords; ++i) {
        sequence->AppendKey(i % 2 ? SecondChord(random) : ThirdChord(random));
    }
    sequence->AppendCommand(std::make_unique<BuiltinCommand>(kDoNothing));
    SequenceList list;
    list.Append(std::move(sequence));
    return list;
}

SequenceList MakeShortSequences(std::size_t count) {
    Random random(count);
    SequenceList list;
    for (std::size_t i = 0; i < count; ++i) {
        auto sequence = std::make_unique<Sequence>("Sequence " + std::to_string(i));
        sequence->AppendKey(FirstChord(random));
        sequence->AppendKey(SecondChord(random));
        for (std::size_t more = random.Below(3); more > 0; --more) {
            sequence->AppendKey(ThirdChord(random));
        }
        sequence->AppendCommand(std::make_unique<BuiltinCommand>(kDoNothing));
        list.Append(std::move(sequence));
    }
    return list;
}

std::string SequenceFileBytes(const SequenceList& list) {
    fake::FakePlatform platform;
    platform.recording = false;
    ErrorBoxes fileBoxes(platform);
    SequenceFile file(platform, fileBoxes);
    file.Open(true);
    for (std::size_t i = 0; i < list.Size(); ++i) {
        file.Write(list.At(i));
    }
    file.Close();
    return platform.files[file.Path()];
}

void PrepareFiles(fake::FakePlatform& platform, const std::string& sequences) {
    platform.recording = false;
    ErrorBoxes settingsBoxes(platform);
    Settings settings(platform, settingsBoxes);
    settings.SetSoundPath(kSoundMatch, "C:\\Pavix\\se\\match.wav");
    settings.SetSoundPath(kSoundMismatch, "C:\\Pavix\\se\\mismatch.wav");
    settings.SetSoundPath(kSoundEnable, "C:\\Pavix\\se\\enable.wav");
    settings.SetTimeout(5000);
    settings.Save();
    if (!sequences.empty()) {
        ErrorBoxes fileBoxes(platform);
        SequenceFile file(platform, fileBoxes);
        platform.files[file.Path()] = sequences;
    }
}

}  // namespace pavix::bench
