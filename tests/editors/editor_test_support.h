// Shared ground of the editor tests: a recording platform whose dialogs run on simulated
// controls, and the data files' bytes in the editor tests' terms.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "editors/dialog_stack.h"
#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {

constexpr const char* kConfigPath = "C:\\Pavix\\Config.dat";
constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";
// A file dialog's title and default extension when the editor leaves them to the platform.
constexpr const char* kPlatformTitle = nullptr;
constexpr const char* kNoExtension = nullptr;
// Where an editor keeps the original of a file it could not read completely.
constexpr const char* kConfigBackupPath = "C:\\Pavix\\Config.dat.bak";
constexpr const char* kSequenceBackupPath = "C:\\Pavix\\Sequence.dat.bak";

class EditorTest : public ::testing::Test {
  protected:
    EditorTest() { platform.UseFakeDialogs(); }

    // Runs `editor` from its template the way the main window does, with `user` acting in it.
    std::intptr_t Run(DialogHandler& editor, std::uint32_t templateId,
                      fake::FakeDialogs::Script user) {
        platform.dialogs.Expect(templateId, std::move(user));
        return platform.DialogBoxParamA(fake::FakePlatform::kInstance, templateId,
                                        platform.GetActiveWindow(), &editor, 0);
    }
    fake::FakeDialog& Last(std::uint32_t templateId) { return *platform.dialogs.Last(templateId); }
    int Beeps(std::uint32_t type) {
        return static_cast<int>(CountOf(fake::Call("MessageBeep", type)));
    }
    std::size_t CountOf(const fake::Call& call) {
        const fake::Calls all = platform.CallsNamed(call.name);
        return static_cast<std::size_t>(std::count(all.begin(), all.end(), call));
    }

    fake::FakePlatform platform;
    DialogStack dialogs{platform};
};

using testing::Builtin;
using testing::External;
using testing::SequenceHeader;
using testing::Text;

// A packed chord as the editors' tests write it: the modifiers in the low word, the key above.
inline testing::Chord Unpacked(std::uint32_t chord) {
    return testing::Chord{static_cast<std::uint16_t>(chord & 0xFFFF),
                          static_cast<std::uint16_t>(chord >> 16)};
}

// One Sequence.dat record.
inline std::string SequenceBytes(const std::string& name, const std::vector<std::uint32_t>& keys,
                                 const std::vector<testing::CommandSpec>& commands) {
    testing::SequenceSpec sequence{name, {}, commands};
    for (std::uint32_t key : keys) {
        sequence.keys.push_back(Unpacked(key));
    }
    return testing::SequenceRecord(sequence);
}

inline std::string ConfigBytes(std::int32_t abortEnabled, std::uint32_t abortKey,
                               const std::vector<std::string>& sounds, std::int32_t timeout) {
    return testing::ConfigFileBytes(
        testing::ConfigSpec{abortEnabled, Unpacked(abortKey), sounds, timeout});
}

inline std::vector<std::string> DefaultSounds() {
    std::vector<std::string> sounds;
    for (const char* name : {"match", "mismatch", "abort", "timeout", "enable", "disable"}) {
        sounds.push_back(std::string("C:\\Pavix\\se\\") + name + ".wav");
    }
    return sounds;
}

}  // namespace pavix
