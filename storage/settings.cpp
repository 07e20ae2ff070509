#include "storage/settings.h"

#include <algorithm>
#include <cstring>

#include "platform/constants.h"
#include "storage/binary_io.h"
#include "storage/file_replacement.h"
#include "storage/module_path.h"
#include "storage/owned_handle.h"

namespace pavix {
namespace {

constexpr std::uint8_t kMagic[11] = {0x07, 0x08, 'P', 'a', 'v', 'i', 'x', 'C', 'o', 'n', 'f'};
constexpr std::int32_t kVersion = 1;

// Offsets inside the body.
constexpr std::size_t kAbortEnabledAt = 0;
constexpr std::size_t kAbortModifiersAt = 4;
constexpr std::size_t kAbortKeyCodeAt = 6;
constexpr std::size_t kSoundPathsAt = 8;
constexpr std::size_t kTimeoutAt = 1576;
static_assert(kSoundPathsAt + kSoundEventCount * kSoundPathFieldSize + 2 == kTimeoutAt,
              "two bytes of padding lie between the last sound path and the time-out");
static_assert(kTimeoutAt + 4 == kSettingsBodySize, "the time-out ends the body");
static_assert(sizeof kMagic + 4 + kSettingsBodySize == kConfigFileSize, "Config.dat size");

constexpr const char* kDefaultSounds[kSoundEventCount] = {
    "se\\match.wav",   "se\\mismatch.wav", "se\\abort.wav",
    "se\\timeout.wav", "se\\enable.wav",   "se\\disable.wav",
};

std::size_t SoundPathAt(SoundEvent event) {
    return kSoundPathsAt + static_cast<std::size_t>(event) * kSoundPathFieldSize;
}

bool IsSoundEvent(SoundEvent event) {
    return event >= 0 && event < kSoundEventCount;
}

}  // namespace

Settings::Settings(FileSystem system, FileProblemReporter& reporter)
    : system_(system), reporter_(reporter) {
    PathBesideExecutable(system_.files, path_, "Config.dat");
}

FileResult Settings::Load() {
    FileApi& files = system_.files;
    OwnedHandle file(
        files, files.CreateFileA(path_, kGenericRead, 0, kOpenExisting, kFileAttributeNormal));
    if (!file.IsOpen()) {
        for (int event = 0; event < kSoundEventCount; ++event) {
            char field[kSoundPathFieldSize] = {};
            PathBesideExecutable(files, field, kDefaultSounds[event]);
            std::memcpy(body_.data() + SoundPathAt(static_cast<SoundEvent>(event)), field,
                        sizeof field);
        }
        SetTimeout(kDefaultTimeout);
        return FileResult::kMissing;
    }
    // Closed before the report, so that nothing the receiver shows holds the file open.
    const auto fail = [&](FileProblem problem) {
        file.Close();
        reporter_.ReportFileProblem(problem);
        return FileResult::kUnusable;
    };

    std::uint8_t magic[sizeof kMagic];
    if (!ReadExact(files, file.Get(), magic, sizeof magic) ||
        std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        return fail(FileProblem::kInvalidFormat);
    }
    std::uint8_t version[4];
    if (!ReadExact(files, file.Get(), version, sizeof version)) {
        return fail(FileProblem::kReadFailed);
    }
    if (LoadInt32(version) != kVersion) {
        return fail(FileProblem::kVersionMismatch);
    }
    // Into scratch first, so that a short body leaves the record as it was.
    std::array<std::uint8_t, kSettingsBodySize> body;
    if (!ReadExact(files, file.Get(), body.data(), static_cast<std::uint32_t>(body.size()))) {
        return fail(FileProblem::kReadFailed);
    }
    file.Close();
    body_ = body;
    // A path that fills its field must still end inside it.
    for (int event = 0; event < kSoundEventCount; ++event) {
        body_[SoundPathAt(static_cast<SoundEvent>(event)) + kSoundPathMaxLength] = 0;
    }
    return FileResult::kOk;
}

bool Settings::Save() {
    FileReplacement replacement(system_, path_, SaveFileName::kOwn);
    if (!replacement.Begin()) {
        reporter_.ReportFileProblem(FileProblem::kOpenForWriteFailed);
        return false;
    }
    FileWriter& writer = replacement.Writer();
    writer.Write(kMagic, sizeof kMagic);
    writer.WriteInt32(kVersion);
    writer.Write(body_.data(), body_.size());
    if (!replacement.Commit()) {
        reporter_.ReportFileProblem(FileProblem::kWriteFailed);
        return false;
    }
    return true;
}

std::int32_t Settings::AbortKeyEnabled() const {
    return LoadInt32(&body_[kAbortEnabledAt]);
}

void Settings::SetAbortKeyEnabled(std::int32_t enabled) {
    StoreInt32(&body_[kAbortEnabledAt], enabled);
}

KeyChord Settings::AbortKey() const {
    return KeyChord{LoadUInt16(&body_[kAbortModifiersAt]), LoadUInt16(&body_[kAbortKeyCodeAt])};
}

void Settings::SetAbortKey(KeyChord chord) {
    StoreUInt16(&body_[kAbortModifiersAt], chord.modifiers);
    StoreUInt16(&body_[kAbortKeyCodeAt], chord.keyCode);
}

std::string Settings::SoundPath(SoundEvent event) const {
    if (!IsSoundEvent(event)) {
        return std::string();
    }
    const auto* field = reinterpret_cast<const char*>(&body_[SoundPathAt(event)]);
    const auto* end = static_cast<const char*>(std::memchr(field, 0, kSoundPathMaxLength));
    return std::string(field, end ? end : field + kSoundPathMaxLength);
}

void Settings::SetSoundPath(SoundEvent event, const std::string& path) {
    if (!IsSoundEvent(event)) {
        return;
    }
    std::uint8_t* field = &body_[SoundPathAt(event)];
    std::memset(field, 0, kSoundPathFieldSize);
    std::memcpy(field, path.data(), std::min(path.size(), kSoundPathMaxLength));
}

std::int32_t Settings::Timeout() const {
    return LoadInt32(&body_[kTimeoutAt]);
}

void Settings::SetTimeout(std::int32_t milliseconds) {
    StoreInt32(&body_[kTimeoutAt], milliseconds);
}

}  // namespace pavix
