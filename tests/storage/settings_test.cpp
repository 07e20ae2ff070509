#include "storage/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;
using fake::MessageBox;
using testing::ConfigFileBytes;
using testing::ConfigSpec;
using testing::Int32;

constexpr const char* kConfigPath = "C:\\Pavix\\Config.dat";
constexpr const char* kNewConfigPath = "C:\\Pavix\\Config.new";
constexpr FileHandle kFirstHandle = 0x100;  // the stand-in's first file handle

using testing::ErrorBox;
using testing::kInvalidFormat;
using testing::kOpenForWriteFailed;
using testing::kReadFailed;
using testing::kVersionMismatch;
using testing::kWriteFailed;

ConfigSpec SampleSpec() {
    ConfigSpec shape;
    shape.abortEnabled = 1;
    shape.abortKey = {kModControl | kModShift, 0x1B};
    shape.sounds = {"C:\\s\\m.wav", "", "abort.wav", "C:\\t.wav", "e.wav", "d.wav"};
    shape.timeout = 1234;
    return shape;
}

// A record that differs from SampleSpec() in every field.
void FillOther(Settings& settings) {
    settings.SetAbortKeyEnabled(7);
    settings.SetAbortKey(KeyChord{kModWin, 0x70});
    for (int event = 0; event < kSoundEventCount; ++event) {
        settings.SetSoundPath(static_cast<SoundEvent>(event), "other" + std::to_string(event));
    }
    settings.SetTimeout(999);
}

std::string BodyText(const Settings& settings) {
    return std::string(settings.Body().begin(), settings.Body().end());
}

class SettingsTest : public ::testing::Test {
  protected:
    FakePlatform platform;
};

TEST_F(SettingsTest, ConstructionFixesThePathBesideTheExecutableAndTouchesNoFile) {
    testing::WithErrorBoxes<Settings> settings(platform);
    EXPECT_STREQ(settings.Path(), kConfigPath);
    EXPECT_EQ(platform.calls, (Calls{Call("GetModuleHandleA", nullptr),
                                     Call("GetModuleFileNameA", FakePlatform::kInstance, 260),
                                     Call("PathRemoveFileSpecA", "C:\\Pavix\\Pavix.exe"),
                                     Call("PathAppendA", "C:\\Pavix", "Config.dat")}));
    EXPECT_EQ(BodyText(settings), std::string(kSettingsBodySize, '\0'));
    EXPECT_EQ(settings.Timeout(), 0);
    EXPECT_EQ(settings.AbortKey(), KeyChord{});
    EXPECT_TRUE(platform.files.empty());
}

TEST_F(SettingsTest, MissingFilePutsDefaultsInPlaceSilentlyAndCreatesNothing) {
    testing::WithErrorBoxes<Settings> settings(platform);
    settings.SetAbortKeyEnabled(1);
    settings.SetAbortKey(KeyChord{kModAlt, 0x41});
    settings.SetSoundPath(kSoundMatch, std::string(300, 'x'));
    platform.calls.clear();

    EXPECT_EQ(settings.Load(), FileResult::kMissing);

    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_TRUE(platform.files.empty());
    EXPECT_EQ(settings.Timeout(), kDefaultTimeout);
    EXPECT_EQ(settings.AbortKeyEnabled(), 1);
    EXPECT_EQ(settings.AbortKey(), (KeyChord{kModAlt, 0x41}));
    const char* const names[] = {"match", "mismatch", "abort", "timeout", "enable", "disable"};
    Calls expected{
        Call("CreateFileA", kConfigPath, kGenericRead, 0, kOpenExisting, kFileAttributeNormal)};
    for (int event = 0; event < kSoundEventCount; ++event) {
        const std::string file = std::string("se\\") + names[event] + ".wav";
        EXPECT_EQ(settings.SoundPath(static_cast<SoundEvent>(event)), "C:\\Pavix\\" + file);
        expected.push_back(Call("GetModuleHandleA", nullptr));
        expected.push_back(Call("GetModuleFileNameA", FakePlatform::kInstance, 260));
        expected.push_back(Call("PathRemoveFileSpecA", "C:\\Pavix\\Pavix.exe"));
        expected.push_back(Call("PathAppendA", "C:\\Pavix", file));
    }
    EXPECT_EQ(platform.calls, expected);
    // The rest of each field is zero: the old 300-byte path left nothing behind.
    const std::size_t field = 8;
    for (std::size_t i = std::strlen("C:\\Pavix\\se\\match.wav"); i < kSoundPathFieldSize; ++i) {
        ASSERT_EQ(settings.Body()[field + i], 0) << i;
    }
}

TEST_F(SettingsTest, DefaultSoundThatDoesNotFitLeavesTheFieldEmpty) {
    platform.modulePath = "C:\\" + std::string(242, 'd') + "\\Pavix.exe";
    testing::WithErrorBoxes<Settings> settings(platform);
    EXPECT_EQ(settings.Load(), FileResult::kMissing);
    // "se\match.wav" still fits in 259 characters, "se\mismatch.wav" does not.
    EXPECT_EQ(settings.SoundPath(kSoundMatch).size(), 3u + 242u + 13u);
    EXPECT_EQ(settings.SoundPath(kSoundMismatch), "");
}

TEST_F(SettingsTest, FolderTooDeepForThePathLoadsAsMissingAndCannotBeSaved) {
    platform.modulePath = "C:\\" + std::string(250, 'd') + "\\Pavix.exe";
    testing::WithErrorBoxes<Settings> settings(platform);
    EXPECT_STREQ(settings.Path(), "");
    EXPECT_EQ(settings.Load(), FileResult::kMissing);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_FALSE(settings.Save());
    EXPECT_EQ(platform.messageBoxes, std::vector<MessageBox>{kOpenForWriteFailed});
    EXPECT_TRUE(platform.files.empty());
}

// A save must work in every folder whose Config.dat has a path at all, the deepest included: its
// new file may not need more characters than Config.dat itself.
TEST_F(SettingsTest, SavesInEveryFolderThatHasAPathForTheFile) {
    std::size_t folder = 240;
    for (;; ++folder) {
        FakePlatform local;
        local.modulePath = "C:\\" + std::string(folder - 3, 'd') + "\\Pavix.exe";
        testing::WithErrorBoxes<Settings> settings(local);
        if (settings.Path()[0] == '\0') {
            break;
        }
        FillOther(settings);
        ASSERT_TRUE(settings.Save()) << folder;
        EXPECT_EQ(local.files[settings.Path()].substr(15), BodyText(settings)) << folder;
        EXPECT_EQ(local.files.size(), 1u) << folder;
        EXPECT_TRUE(local.messageBoxes.empty()) << folder;
    }
    EXPECT_EQ(folder, 249u);  // 248 + "\\Config.dat" is the longest path there is
}

TEST_F(SettingsTest, SaveWritesEveryFieldAtItsOffset) {
    testing::WithErrorBoxes<Settings> settings(platform);
    settings.SetAbortKeyEnabled(1);
    settings.SetAbortKey(KeyChord{kModControl | kModAlt, 0x41});
    for (int event = 0; event < kSoundEventCount; ++event) {
        settings.SetSoundPath(static_cast<SoundEvent>(event), "path" + std::to_string(event));
    }
    settings.SetTimeout(0x01020304);
    platform.calls.clear();

    ASSERT_TRUE(settings.Save());

    ASSERT_EQ(platform.files.count(kConfigPath), 1u);
    const std::string& file = platform.files[kConfigPath];
    ASSERT_EQ(file.size(), kConfigFileSize);
    EXPECT_EQ(file.substr(0, 11), std::string("\x07\x08PavixConf", 11));
    EXPECT_EQ(file.substr(11, 4), Int32(1));
    EXPECT_EQ(file.substr(15, 4), Int32(1));
    EXPECT_EQ(file.substr(19, 4), std::string("\x03\x00\x41\x00", 4));
    const std::size_t soundOffsets[] = {23, 284, 545, 806, 1067, 1328};
    for (int event = 0; event < kSoundEventCount; ++event) {
        std::string field = "path" + std::to_string(event);
        field.resize(kSoundPathFieldSize, '\0');
        EXPECT_EQ(file.substr(soundOffsets[event], kSoundPathFieldSize), field) << event;
    }
    EXPECT_EQ(file.substr(1589, 2), std::string(2, '\0'));
    EXPECT_EQ(file.substr(1591, 4), Int32(0x01020304));
    EXPECT_EQ(file,
              ConfigFileBytes(ConfigSpec{1,
                                         {kModControl | kModAlt, 0x41},
                                         {"path0", "path1", "path2", "path3", "path4", "path5"},
                                         0x01020304}));
    EXPECT_EQ(platform.files.count(kNewConfigPath), 0u);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.OpenFileCount(), 0);
    EXPECT_EQ(platform.CallsNamed(
                  {"CreateFileA", "FlushFileBuffers", "CloseHandle", "MoveFileExA", "DeleteFileA"}),
              (Calls{Call("CreateFileA", kNewConfigPath, kGenericWrite, 0, kCreateAlways,
                          kFileAttributeNormal),
                     Call("FlushFileBuffers", kFirstHandle), Call("CloseHandle", kFirstHandle),
                     Call("MoveFileExA", kNewConfigPath, kConfigPath,
                          kMoveFileReplaceExisting | kMoveFileWriteThrough)}));
}

TEST_F(SettingsTest, SaveThenLoadGivesTheSameBody) {
    testing::WithErrorBoxes<Settings> saved(platform);
    FillOther(saved);
    saved.SetSoundPath(kSoundTimeout, std::string(kSoundPathMaxLength, 'p'));
    ASSERT_TRUE(saved.Save());

    testing::WithErrorBoxes<Settings> loaded(platform);
    platform.calls.clear();
    EXPECT_EQ(loaded.Load(), FileResult::kOk);
    EXPECT_EQ(BodyText(loaded), BodyText(saved));
    EXPECT_EQ(loaded.SoundPath(kSoundTimeout), std::string(kSoundPathMaxLength, 'p'));
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.OpenFileCount(), 0);
    EXPECT_EQ(platform.CallsNamed("CreateFileA"),
              (Calls{Call("CreateFileA", kConfigPath, kGenericRead, 0, kOpenExisting,
                          kFileAttributeNormal)}));
}

TEST_F(SettingsTest, LoadReadsEveryFieldAndIgnoresBytesAfterTheRecord) {
    platform.files[kConfigPath] = ConfigFileBytes(SampleSpec()) + "trailing bytes";
    testing::WithErrorBoxes<Settings> settings(platform);
    EXPECT_EQ(settings.Load(), FileResult::kOk);
    EXPECT_EQ(settings.AbortKeyEnabled(), 1);
    EXPECT_EQ(settings.AbortKey(), (KeyChord{kModControl | kModShift, 0x1B}));
    EXPECT_EQ(settings.SoundPath(kSoundMatch), "C:\\s\\m.wav");
    EXPECT_EQ(settings.SoundPath(kSoundMismatch), "");
    EXPECT_EQ(settings.SoundPath(kSoundAbort), "abort.wav");
    EXPECT_EQ(settings.SoundPath(kSoundTimeout), "C:\\t.wav");
    EXPECT_EQ(settings.SoundPath(kSoundEnable), "e.wav");
    EXPECT_EQ(settings.SoundPath(kSoundDisable), "d.wav");
    EXPECT_EQ(settings.Timeout(), 1234);
    EXPECT_EQ(BodyText(settings), ConfigFileBytes(SampleSpec()).substr(15));
}

TEST_F(SettingsTest, SoundPathFieldWithoutZeroIsCutAt260Bytes) {
    std::string file = ConfigFileBytes(SampleSpec());
    const std::size_t soundOffsets[] = {23, 284, 545, 806, 1067, 1328};
    for (std::size_t offset : soundOffsets) {
        std::memset(&file[offset], 'z', kSoundPathFieldSize);
    }
    platform.files[kConfigPath] = file;
    testing::WithErrorBoxes<Settings> settings(platform);
    EXPECT_EQ(settings.Load(), FileResult::kOk);
    for (int event = 0; event < kSoundEventCount; ++event) {
        EXPECT_EQ(settings.SoundPath(static_cast<SoundEvent>(event)),
                  std::string(kSoundPathMaxLength, 'z'));
        EXPECT_EQ(settings.Body()[8 + event * kSoundPathFieldSize + kSoundPathMaxLength], 0);
    }
    EXPECT_EQ(settings.Timeout(), 1234);
}

TEST_F(SettingsTest, SetSoundPathKeepsAtMost260BytesAndZeroesTheRest) {
    testing::WithErrorBoxes<Settings> settings(platform);
    settings.SetSoundPath(kSoundAbort, std::string(400, 'q'));
    EXPECT_EQ(settings.SoundPath(kSoundAbort), std::string(kSoundPathMaxLength, 'q'));
    settings.SetSoundPath(kSoundAbort, "ab");
    EXPECT_EQ(settings.SoundPath(kSoundAbort), "ab");
    const std::size_t field = 8 + 2 * kSoundPathFieldSize;
    for (std::size_t i = 2; i < kSoundPathFieldSize; ++i) {
        ASSERT_EQ(settings.Body()[field + i], 0) << i;
    }
    // Neighbouring fields are untouched.
    EXPECT_EQ(settings.SoundPath(kSoundMismatch), "");
    EXPECT_EQ(settings.SoundPath(kSoundTimeout), "");
}

struct Truncation {
    std::size_t length;
    MessageBox message;
};

TEST_F(SettingsTest, EveryTruncationIsReportedAndLeavesTheRecordUnchanged) {
    const std::string valid = ConfigFileBytes(SampleSpec());
    for (std::size_t length = 0; length < kConfigFileSize; ++length) {
        FakePlatform local;
        local.files[kConfigPath] = valid.substr(0, length);
        testing::WithErrorBoxes<Settings> settings(local);
        FillOther(settings);
        const std::string before = BodyText(settings);

        ASSERT_EQ(settings.Load(), FileResult::kUnusable) << length;

        const MessageBox expected = length < 11 ? kInvalidFormat : kReadFailed;
        ASSERT_EQ(local.messageBoxes, std::vector<MessageBox>{expected}) << length;
        ASSERT_EQ(BodyText(settings), before) << length;
        ASSERT_EQ(local.OpenFileCount(), 0) << length;
        ASSERT_EQ(local.files[kConfigPath], valid.substr(0, length));
    }
}

TEST_F(SettingsTest, ShortReadsAreReportedLikeShortFiles) {
    const Truncation cases[] = {{0, kInvalidFormat}, {10, kInvalidFormat}, {11, kReadFailed},
                                {14, kReadFailed},   {15, kReadFailed},    {1594, kReadFailed}};
    for (const Truncation& limit : cases) {
        FakePlatform local;
        local.files[kConfigPath] = ConfigFileBytes(SampleSpec());
        local.LimitReads(kConfigPath, limit.length);
        testing::WithErrorBoxes<Settings> settings(local);
        EXPECT_EQ(settings.Load(), FileResult::kUnusable);
        EXPECT_EQ(local.messageBoxes, std::vector<MessageBox>{limit.message}) << limit.length;
        EXPECT_EQ(BodyText(settings), std::string(kSettingsBodySize, '\0'));
    }
}

TEST_F(SettingsTest, WrongMagicOrVersionIsReportedAndLeavesTheRecordUnchanged) {
    const std::string valid = ConfigFileBytes(SampleSpec());
    std::string wrongMagic = valid;
    wrongMagic[10] = 'g';
    std::string version2 = valid;
    version2.replace(11, 4, Int32(2));
    std::string version0 = valid;
    version0.replace(11, 4, Int32(0));
    const std::pair<std::string, MessageBox> cases[] = {
        {wrongMagic, kInvalidFormat},
        {version2, kVersionMismatch},
        {version0, kVersionMismatch},
        {std::string(kConfigFileSize, '\0'), kInvalidFormat},
    };
    for (const auto& [contents, message] : cases) {
        FakePlatform local;
        local.files[kConfigPath] = contents;
        testing::WithErrorBoxes<Settings> settings(local);
        FillOther(settings);
        const std::string before = BodyText(settings);
        EXPECT_EQ(settings.Load(), FileResult::kUnusable);
        EXPECT_EQ(local.messageBoxes, std::vector<MessageBox>{message});
        EXPECT_EQ(BodyText(settings), before);
        EXPECT_EQ(local.OpenFileCount(), 0);
    }
}

TEST_F(SettingsTest, ErrorIsShownOnceTheFileIsClosed) {
    platform.files[kConfigPath] = "";
    testing::WithErrorBoxes<Settings> settings(platform);
    platform.calls.clear();
    EXPECT_EQ(settings.Load(), FileResult::kUnusable);
    EXPECT_EQ(platform.CallsNamed({"CreateFileA", "ReadFile", "MessageBoxA", "CloseHandle"}),
              (Calls{Call("CreateFileA", kConfigPath, kGenericRead, 0, kOpenExisting,
                          kFileAttributeNormal),
                     Call("ReadFile", kFirstHandle, 11), Call("CloseHandle", kFirstHandle),
                     Call("MessageBoxA", 0, "Data file format is Invalid", "Pavix:Error",
                          kMbOk | kMbIconError)}));
}

TEST_F(SettingsTest, FileHeldByAnotherProgramLoadsAsMissing) {
    platform.files[kConfigPath] = ConfigFileBytes(SampleSpec());
    platform.Script("CreateFileA", kInvalidHandleValue, kErrorSharingViolation);
    testing::WithErrorBoxes<Settings> settings(platform);
    EXPECT_EQ(settings.Load(), FileResult::kMissing);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(settings.Timeout(), kDefaultTimeout);
}

// --- Saving safely ----------------------------------------------------------------------------

class SettingsSaveFailureTest : public ::testing::Test {
  protected:
    void SetUp() override { platform.files[kConfigPath] = old; }

    // The failed save left the old file byte for byte, no new file and one message.
    void ExpectOldFileKept(const MessageBox& message, const std::string& context = "") {
        EXPECT_EQ(platform.files[kConfigPath], old) << context;
        EXPECT_EQ(platform.files.count(kNewConfigPath), 0u) << context;
        EXPECT_EQ(platform.messageBoxes, std::vector<MessageBox>{message}) << context;
        EXPECT_EQ(platform.OpenFileCount(), 0) << context;
    }

    const std::string old = ConfigFileBytes(SampleSpec());
    FakePlatform platform;
};

TEST_F(SettingsSaveFailureTest, ShortWriteAtEveryOffsetKeepsTheOldFile) {
    for (std::size_t limit = 0; limit < kConfigFileSize; ++limit) {
        platform.files.erase(kNewConfigPath);
        platform.messageBoxes.clear();
        platform.LimitWrites(kNewConfigPath, limit);
        testing::WithErrorBoxes<Settings> settings(platform);
        FillOther(settings);
        ASSERT_FALSE(settings.Save()) << limit;
        ExpectOldFileKept(kWriteFailed, "limit " + std::to_string(limit));
        if (HasFailure()) {
            return;
        }
    }
}

TEST_F(SettingsSaveFailureTest, ScriptedFailuresKeepTheOldFile) {
    const char* const failing[] = {"WriteFile", "FlushFileBuffers", "CloseHandle", "MoveFileExA"};
    for (const char* name : failing) {
        FakePlatform local;
        local.files[kConfigPath] = old;
        local.Script(name, 0, kErrorHandleDiskFull);
        testing::WithErrorBoxes<Settings> settings(local);
        FillOther(settings);
        EXPECT_FALSE(settings.Save()) << name;
        EXPECT_EQ(local.files[kConfigPath], old) << name;
        EXPECT_EQ(local.files.count(kNewConfigPath), 0u) << name;
        EXPECT_EQ(local.messageBoxes, std::vector<MessageBox>{kWriteFailed}) << name;
        EXPECT_EQ(local.CallsNamed("DeleteFileA"), (Calls{Call("DeleteFileA", kNewConfigPath)}))
            << name;
    }
}

TEST_F(SettingsSaveFailureTest, ReplacingAFileHeldOpenFailsAndKeepsIt) {
    // Another program holds Config.dat: the new file is written but cannot take its place.
    const FileHandle held =
        platform.CreateFileA(kConfigPath, kGenericRead, 0, kOpenExisting, kFileAttributeNormal);
    testing::WithErrorBoxes<Settings> settings(platform);
    FillOther(settings);
    EXPECT_FALSE(settings.Save());
    platform.CloseHandle(held);
    ExpectOldFileKept(kWriteFailed);
}

TEST_F(SettingsSaveFailureTest, NewFileThatCannotBeCreatedIsReportedAndNothingElseHappens) {
    platform.Script("CreateFileA", kInvalidHandleValue, kErrorAccessDenied);
    testing::WithErrorBoxes<Settings> settings(platform);
    platform.calls.clear();
    EXPECT_FALSE(settings.Save());
    ExpectOldFileKept(kOpenForWriteFailed);
    EXPECT_TRUE(platform
                    .CallsNamed({"WriteFile", "FlushFileBuffers", "CloseHandle", "MoveFileExA",
                                 "DeleteFileA"})
                    .empty());
}

TEST_F(SettingsTest, SaveCreatesTheFileWhenThereWasNone) {
    testing::WithErrorBoxes<Settings> settings(platform);
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(platform.files[kConfigPath], std::string("\x07\x08PavixConf", 11) + Int32(1) +
                                               std::string(kSettingsBodySize, '\0'));
    EXPECT_EQ(platform.files.size(), 1u);
}

}  // namespace
}  // namespace pavix
