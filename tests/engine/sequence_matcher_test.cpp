#include "engine/sequence_matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pavix {
namespace {

// Answers each built-in id with the result of that index in `results`.
class ScriptedRunner : public CommandRunner {
  public:
    explicit ScriptedRunner(std::vector<CommandResult> results) : results_(std::move(results)) {}
    CommandResult RunBuiltin(BuiltinCommandId id) override {
        ran.push_back(id);
        return results_.at(static_cast<std::size_t>(id));
    }
    bool RunExternal(WindowHandle, const std::string&, const std::string&,
                     const std::string&) override {
        return false;
    }
    std::vector<BuiltinCommandId> ran;

  private:
    std::vector<CommandResult> results_;
};

TEST(KeyMatcherTest, StepComparesThePositionOnly) {
    KeyMatcher matcher;
    matcher.AddKey(4);
    matcher.AddKey(4);
    matcher.AddKey(7);
    EXPECT_EQ(matcher.Step(0, 4), kPartial);
    EXPECT_EQ(matcher.Step(1, 4), kPartial);
    EXPECT_EQ(matcher.Step(2, 7), kComplete);
    EXPECT_EQ(matcher.Step(2, 4), kNoMatch);
    EXPECT_EQ(matcher.Step(3, 7), kNoMatch);
    EXPECT_EQ(matcher.Step(0xFFFFFFFFu, 4), kNoMatch);
    matcher.ClearKeys();
    EXPECT_EQ(matcher.Step(0, 4), kNoMatch);
}

TEST(CommandListTest, AddCommandsAppendsAfterTheCommandsItHolds) {
    CommandList list;
    for (BuiltinCommandId id : {kDoNothing, kOpenStartMenu}) {
        CommandArray commands;
        commands.push_back(std::make_unique<BuiltinCommand>(id));
        list.AddCommands(commands);
        EXPECT_TRUE(commands.empty());
    }
    ScriptedRunner runner({kCommandDone, kCommandDone});
    list.ExecuteAll(runner);
    EXPECT_EQ(runner.ran, (std::vector<BuiltinCommandId>{kDoNothing, kOpenStartMenu}));
}

struct FoldCase {
    const char* name;
    std::vector<CommandResult> results;
    CommandResult folded;
};

class CommandListFoldTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(CommandListFoldTest, RunsEveryCommandAndFoldsTheResults) {
    const FoldCase& fold = GetParam();
    CommandList list;
    CommandArray commands;
    for (std::size_t i = 0; i < fold.results.size(); ++i) {
        commands.push_back(std::make_unique<BuiltinCommand>(static_cast<BuiltinCommandId>(i)));
    }
    list.AddCommands(commands);
    EXPECT_TRUE(commands.empty());
    ScriptedRunner runner(fold.results);
    EXPECT_EQ(list.ExecuteAll(runner), fold.folded);
    EXPECT_EQ(runner.ran.size(), fold.results.size());
}

INSTANTIATE_TEST_SUITE_P(
    Folds, CommandListFoldTest,
    ::testing::Values(FoldCase{"NoCommandsAreDone", {}, kCommandDone},
                      FoldCase{"AFailureCountsAsDone", {kCommandFailed}, kCommandDone},
                      FoldCase{"DisableAlone", {kCommandDisableHotkeys}, kCommandDisableHotkeys},
                      FoldCase{"ExitOutranksAnEarlierDisable",
                               {kCommandDisableHotkeys, kCommandExitProgram},
                               kCommandExitProgram},
                      FoldCase{"ExitOutranksLaterResults",
                               {kCommandExitProgram, kCommandDisableHotkeys, kCommandFailed},
                               kCommandExitProgram},
                      FoldCase{"DisableOutranksFailedAndDone",
                               {kCommandFailed, kCommandDisableHotkeys, kCommandDone},
                               kCommandDisableHotkeys}),
    [](const ::testing::TestParamInfo<FoldCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pavix
