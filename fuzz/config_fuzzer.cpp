// Config.dat as any bytes at all, through Settings::Load: the result, the message and the record
// must be what the layout says, a failed load must leave the record as it was, and a loaded
// record must save and load again unchanged.
#include <cstdint>
#include <string>

#include "editors/error_boxes.h"
#include "fake/fake_platform.h"
#include "fuzz/check.h"
#include "fuzz/file_format.h"
#include "resources/texts.h"
#include "storage/settings.h"

namespace pavix::fuzz {
namespace {

// A record unlike anything a file gives, to see that a failed load leaves it alone.
void FillPrevious(Settings& settings) {
    settings.SetAbortKeyEnabled(-7);
    settings.SetAbortKey(KeyChord{0x0F, 0x7B});
    for (int event = 0; event < kSoundEventCount; ++event) {
        settings.SetSoundPath(static_cast<SoundEvent>(event), "previous" + std::to_string(event));
    }
    settings.SetTimeout(-999);
}

// The body Load must produce from a file of at least kConfigFileSize bytes: the stored bytes, with
// the last byte of each sound field zero so that every path ends inside its field.
std::string ExpectedBody(const std::string& bytes) {
    std::string body = bytes.substr(testing::kConfigHeaderSize, kSettingsBodySize);
    for (std::size_t i = 0; i < 6; ++i) {
        body[testing::kSoundsAt + (i + 1) * testing::kSoundFieldSize - 1] = '\0';
    }
    return body;
}

std::string BodyOf(const Settings& settings) {
    return std::string(settings.Body().begin(), settings.Body().end());
}

void CheckLoad(const std::string& bytes) {
    fake::FakePlatform platform;
    platform.recording = false;
    ErrorBoxes settingsBoxes(platform);
    Settings settings(platform, settingsBoxes);
    platform.files[settings.Path()] = bytes;
    FillPrevious(settings);
    const std::string before = BodyOf(settings);

    const ParsedConfig expected = ParseConfig(bytes);
    const FileResult result = settings.Load();

    PAVIX_FUZZ_CHECK(result == expected.result);
    PAVIX_FUZZ_CHECK(platform.OpenFileCount() == 0);
    if (expected.message == kNoMessage) {
        PAVIX_FUZZ_CHECK(platform.messageBoxes.empty());
    } else {
        PAVIX_FUZZ_CHECK(platform.messageBoxes.size() == 1);
        PAVIX_FUZZ_CHECK(platform.messageBoxes[0].text == LoadText(platform, expected.message));
    }
    if (result != FileResult::kOk) {
        PAVIX_FUZZ_CHECK(BodyOf(settings) == before);
        return;
    }
    PAVIX_FUZZ_CHECK(BodyOf(settings) == ExpectedBody(bytes));
    PAVIX_FUZZ_CHECK(settings.AbortKeyEnabled() == expected.abortEnabled);
    PAVIX_FUZZ_CHECK(settings.AbortKey().modifiers == expected.abortKey.modifiers);
    PAVIX_FUZZ_CHECK(settings.AbortKey().keyCode == expected.abortKey.virtualKey);
    for (int event = 0; event < kSoundEventCount; ++event) {
        const std::string path = settings.SoundPath(static_cast<SoundEvent>(event));
        PAVIX_FUZZ_CHECK(path == expected.sounds[static_cast<std::size_t>(event)]);
        PAVIX_FUZZ_CHECK(path.size() <= kSoundPathMaxLength);
    }
    PAVIX_FUZZ_CHECK(settings.Timeout() == expected.timeout);

    // What was loaded saves as exactly one record and loads back the same.
    PAVIX_FUZZ_CHECK(settings.Save());
    const std::string saved = platform.files[settings.Path()];
    PAVIX_FUZZ_CHECK(saved.size() == testing::kConfigFileSize);
    PAVIX_FUZZ_CHECK(
        saved.compare(0, testing::kConfigHeaderSize, bytes, 0, testing::kConfigHeaderSize) == 0);
    PAVIX_FUZZ_CHECK(saved.substr(testing::kConfigHeaderSize) == ExpectedBody(bytes));
    ErrorBoxes againBoxes(platform);
    Settings again(platform, againBoxes);
    PAVIX_FUZZ_CHECK(again.Load() == FileResult::kOk);
    PAVIX_FUZZ_CHECK(BodyOf(again) == BodyOf(settings));
    PAVIX_FUZZ_CHECK(platform.messageBoxes.size() == 0);
    PAVIX_FUZZ_CHECK(platform.OpenFileCount() == 0);
}

}  // namespace
}  // namespace pavix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pavix::fuzz::CheckLoad(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
