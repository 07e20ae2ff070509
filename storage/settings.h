// The program-wide settings record and Config.dat, the file beside the executable that holds it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/key_chord.h"
#include "platform/platform.h"
#include "storage/file_result.h"

namespace pavix {

enum SoundEvent : int {
    kSoundMatch = 0,
    kSoundMismatch = 1,
    kSoundAbort = 2,
    kSoundTimeout = 3,
    kSoundEnable = 4,
    kSoundDisable = 5,
};
constexpr int kSoundEventCount = 6;

constexpr std::size_t kSoundPathFieldSize = 261;  // 260 bytes of path and a zero byte
constexpr std::size_t kSoundPathMaxLength = 260;
constexpr std::size_t kSettingsBodySize = 1580;
constexpr std::size_t kConfigFileSize = 1595;
constexpr std::int32_t kDefaultTimeout = 5000;

class Settings {
  public:
    // Fixes the path of Config.dat beside the executable; the body is all zero. Problems with
    // the file go to `reporter`.
    Settings(FileSystem system, FileProblemReporter& reporter);
    virtual ~Settings() = default;

    // kOk, kMissing (defaults put in place, nothing reported) or kUnusable (reported). A short
    // body leaves the record unchanged; after a load every sound path ends inside its field.
    virtual FileResult Load();
    // True when the whole file was written; false after a problem that has been reported
    // (kOpenForWriteFailed: the new file cannot be created; kWriteFailed: a write, the flush or
    // the replacement failed). The record replaces Config.dat only when complete (see
    // FileReplacement); otherwise the old file stays byte for byte.
    virtual bool Save();

    const char* Path() const { return path_; }
    std::int32_t AbortKeyEnabled() const;
    void SetAbortKeyEnabled(std::int32_t enabled);
    KeyChord AbortKey() const;
    void SetAbortKey(KeyChord chord);
    // The text up to the field's first zero byte.
    std::string SoundPath(SoundEvent event) const;
    // Keeps at most 260 bytes; the rest of the field becomes zeros.
    void SetSoundPath(SoundEvent event, const std::string& path);
    std::int32_t Timeout() const;
    void SetTimeout(std::int32_t milliseconds);
    // The body exactly as Config.dat stores it after the magic and the version.
    const std::array<std::uint8_t, kSettingsBodySize>& Body() const { return body_; }

  private:
    FileSystem system_;
    FileProblemReporter& reporter_;
    char path_[kMaxPath] = {};
    std::array<std::uint8_t, kSettingsBodySize> body_{};
};

}  // namespace pavix
