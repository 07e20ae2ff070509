#include "engine/next_chords.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_platform.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using testing::Builtin;
using testing::ConfigSpec;
using testing::SequenceSpec;

constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;

// One row as "chord key letter: name it completes" or "letter: +count".
std::vector<std::string> Rows(const SequenceEngine& engine) {
    std::vector<std::string> rows;
    for (const NextChord& next : NextChords(engine)) {
        std::string row(1, static_cast<char>(next.chord.keyCode));
        row += next.completes ? ": " + std::string(engine.Matcher(*next.completes).Name())
                              : ": +" + std::to_string(next.continues);
        rows.push_back(row);
    }
    return rows;
}

TEST(NextChordsTest, ListsEachNextChordInListOrderWithWhatItCompletesOrContinues) {
    fake::FakePlatform platform;
    ConfigSpec config;
    config.abortEnabled = 1;
    config.abortKey = {kCtrlAlt, 'Q'};
    platform.files["C:\\Pavix\\Config.dat"] = testing::ConfigFileBytes(config);
    const auto chords = [](const std::string& keys) {
        std::vector<testing::Chord> list;
        for (char key : keys) {
            list.push_back({kCtrlAlt, static_cast<std::uint16_t>(key)});
        }
        return list;
    };
    platform.files["C:\\Pavix\\Sequence.dat"] = testing::SequenceFileBytes({
        {"longer notes", chords("ANZ"), {Builtin(0)}},
        {"notes", chords("AN"), {Builtin(0)}},
        {"lock", chords("AL"), {Builtin(0)}},
        {"same notes", chords("AN"), {Builtin(0)}},
        {"three", chords("ACX"), {Builtin(0)}},
        {"aborts", chords("AQ"), {Builtin(0)}},
        {"three b", chords("ACY"), {Builtin(0)}},
        {"elsewhere", chords("BC"), {Builtin(0)}},
    });
    testing::WithErrorBoxes<SequenceEngine> engine{platform};
    engine.SetWindow(0x1234);
    engine.Enable();
    const auto press = [&](char key) {
        engine.OnHotkey(engine.Registry().Hotkeys().at(KeyChord{kCtrlAlt, std::uint16_t(key)}));
    };

    EXPECT_TRUE(NextChords(engine).empty());
    press('A');
    // N completes "notes" although "longer notes" expects it first and "same notes" would
    // complete on it too; the abort chord Q is no way on.
    EXPECT_EQ(Rows(engine), (std::vector<std::string>{"N: notes", "L: lock", "C: +2"}));
    press('C');
    EXPECT_EQ(Rows(engine), (std::vector<std::string>{"X: three", "Y: three b"}));
    press('B');
    EXPECT_TRUE(NextChords(engine).empty());
}

}  // namespace
}  // namespace pavix
