// Shared ground of the editor tests: a recording platform whose dialogs run on simulated
// controls, and the bytes of the two data files built independently of the storage code.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "fake/fake_platform.h"

namespace pavix {

constexpr const char* kConfigPath = "C:\\Pavix\\Config.dat";
constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";

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
};

// Little-endian 32-bit value, as both data files store their integers.
inline std::string Int32(std::uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((value >> shift) & 0xFF);
    }
    return bytes;
}

inline std::string CountedText(const std::string& text) {
    return Int32(static_cast<std::uint32_t>(text.size())) + text;
}

inline std::string SequenceHeader() {
    return std::string("\x07\x08PavixSeq", 10) + Int32(1);
}
inline std::string BuiltinBytes(std::int32_t id) {
    return Int32(0) + Int32(id);
}
inline std::string ExternalBytes(const std::string& path, const std::string& parameter,
                                 const std::string& directory) {
    return Int32(1) + CountedText(path) + CountedText(parameter) + CountedText(directory);
}
// One record: the packed keys, then the commands already in bytes.
inline std::string SequenceBytes(const std::string& name, const std::vector<std::uint32_t>& keys,
                                 const std::vector<std::string>& commands) {
    std::string bytes = CountedText(name) + Int32(static_cast<std::uint32_t>(keys.size()));
    for (std::uint32_t key : keys) {
        bytes += Int32(key);
    }
    bytes += Int32(static_cast<std::uint32_t>(commands.size()));
    for (const std::string& command : commands) {
        bytes += command;
    }
    return bytes;
}

// Config.dat: magic, version, abort switch, abort chord, six 261-byte paths, two bytes of
// padding, time-out.
inline std::string ConfigBytes(std::int32_t abortEnabled, std::uint32_t abortKey,
                               const std::vector<std::string>& sounds, std::int32_t timeout) {
    std::string bytes = std::string("\x07\x08PavixConf", 11) + Int32(1);
    bytes += Int32(static_cast<std::uint32_t>(abortEnabled)) + Int32(abortKey);
    for (const std::string& sound : sounds) {
        bytes += sound + std::string(261 - sound.size(), '\0');
    }
    return bytes + std::string(2, '\0') + Int32(static_cast<std::uint32_t>(timeout));
}

inline std::vector<std::string> DefaultSounds() {
    std::vector<std::string> sounds;
    for (const char* name : {"match", "mismatch", "abort", "timeout", "enable", "disable"}) {
        sounds.push_back(std::string("C:\\Pavix\\se\\") + name + ".wav");
    }
    return sounds;
}

}  // namespace pavix
