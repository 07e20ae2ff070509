#include "model/command.h"

#include <gtest/gtest.h>

#include <vector>

#include "editors/command_names.h"
#include "fake/fake_platform.h"

namespace pavix {
namespace {

using fake::FakePlatform;
using resources::Language;

class RecordingRunner : public CommandRunner {
  public:
    CommandResult RunBuiltin(BuiltinCommandId id) override {
        builtins.push_back(id);
        return builtinResult;
    }
    bool RunExternal(WindowHandle owner, const std::string& path, const std::string& parameter,
                     const std::string& directory) override {
        externals.push_back({std::to_string(owner), path, parameter, directory});
        return externalSucceeds;
    }
    std::vector<BuiltinCommandId> builtins;
    std::vector<std::vector<std::string>> externals;
    CommandResult builtinResult = kCommandExitProgram;
    bool externalSucceeds = true;
};

TEST(CommandTest, BuiltinNamesFollowTheTableNotTheIdOrder) {
    FakePlatform platform;
    const char* expected[] = {
        "Do nothing",       "Open Start Menu", "Disable Hotkey", "Exit Pavix",
        "Shutdown System",  "FORCE Shutdown",  "Reboot System",  "FORCE Reboot",
        "Logoff",           "FORCE Logoff",    "Standby System", "FORCE Standby",
        "Hibernate System", "FORCE Hibernate", "Lock System",    "Start Screen Saver"};
    for (BuiltinCommandId id = 0; id < kBuiltinCommandCount; ++id) {
        EXPECT_EQ(DescribeCommand(platform, BuiltinCommand(id)), expected[id]) << id;
    }
    EXPECT_EQ(DescribeCommand(platform, BuiltinCommand(16)), "Do nothing");
    EXPECT_EQ(DescribeCommand(platform, BuiltinCommand(-1)), "Do nothing");
}

// The text form names built-ins in English whatever the user's language.
TEST(CommandTest, EnglishNamesFindTheirCommandsInAnyCaseAndNothingElse) {
    for (BuiltinCommandId id = 0; id < kBuiltinCommandCount; ++id) {
        EXPECT_EQ(FindBuiltinCommand(BuiltinCommandSpelling(id)), id) << id;
    }
    EXPECT_EQ(FindBuiltinCommand("start SCREEN saver"), kStartScreenSaver);
    for (const char* near : {"Lock  System", "Lock", "Lock System ", ""}) {
        EXPECT_EQ(FindBuiltinCommand(near), std::nullopt) << near;
    }
}

TEST(CommandTest, BuiltinNameInJapaneseIsCodePage932) {
    FakePlatform platform;
    platform.language = Language::Japanese;
    // "Pavixの終了"
    EXPECT_EQ(DescribeCommand(platform, BuiltinCommand(kExitPavix)),
              "Pavix\x82\xCC\x8F\x49\x97\xB9");
}

TEST(CommandTest, ExternalDescriptionQuotesEveryFieldUnescaped) {
    FakePlatform platform;
    EXPECT_EQ(DescribeCommand(platform, ExternalCommand("notepad.exe", "", "")),
              "[Cmd=\"notepad.exe\"] [Param=\"\"] [Dir=\"\"]");
    EXPECT_EQ(DescribeCommand(platform, ExternalCommand("a\"b", "-x \"y\"", "C:\\")),
              "[Cmd=\"a\"b\"] [Param=\"-x \"y\"\"] [Dir=\"C:\\\"]");
}

TEST(CommandTest, ExecuteAsksTheRunner) {
    RecordingRunner runner;
    EXPECT_EQ(BuiltinCommand(kExitPavix).Execute(runner), kCommandExitProgram);
    EXPECT_EQ(runner.builtins, std::vector<BuiltinCommandId>{kExitPavix});

    EXPECT_EQ(ExternalCommand("p", "a", "d").Execute(runner), kCommandDone);
    runner.externalSucceeds = false;
    EXPECT_EQ(ExternalCommand("p", "a", "d").Execute(runner), kCommandFailed);
    ASSERT_EQ(runner.externals.size(), 2u);
    EXPECT_EQ(runner.externals[0], (std::vector<std::string>{"0", "p", "a", "d"}));
}

TEST(CommandTest, CloneKeepsKindAndContentsWithoutSharing) {
    const BuiltinCommand builtin(kLockSystem);
    auto builtinCopy = Clone(builtin);
    ASSERT_TRUE(builtinCopy->IsBuiltin());
    EXPECT_EQ(static_cast<BuiltinCommand&>(*builtinCopy).Id(), kLockSystem);

    auto external = std::make_unique<ExternalCommand>("path", "param", "dir");
    auto externalCopy = Clone(*external);
    external.reset();
    ASSERT_FALSE(externalCopy->IsBuiltin());
    const auto& copy = static_cast<ExternalCommand&>(*externalCopy);
    EXPECT_EQ(copy.Path(), "path");
    EXPECT_EQ(copy.Parameter(), "param");
    EXPECT_EQ(copy.Directory(), "dir");
}

}  // namespace
}  // namespace pavix
