// The program-wide settings record and Config.dat, the file beside the executable that holds it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

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
    // Fixes the path of Config.dat beside the executable; the body is all zero.
    explicit Settings(Platform& platform);
    virtual ~Settings() = default;

    // kFileOk, kFileMissing (defaults put in place, nothing shown) or kFileUnusable (shown). A
    // short body leaves the record unchanged; after a load every sound path ends inside its field.
    virtual int Load();
    // True when the whole file was written; false after an error that has been shown (7: the new
    // file cannot be created; 6: a write, the flush or the replacement failed). The record goes
    // to Config.new, which replaces Config.dat only when complete; otherwise the old file stays
    // byte for byte and the new one is deleted.
    virtual bool Save();

    // Added to every error that Load shows, for a caller with more to say.
    void SetLoadErrorNote(std::string note) { loadErrorNote_ = std::move(note); }

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
    Platform& platform_;
    char path_[kMaxPath] = {};
    std::string loadErrorNote_;
    std::array<std::uint8_t, kSettingsBodySize> body_{};
};

}  // namespace pavix
