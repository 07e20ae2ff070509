#include "engine/sequence_matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/data_files.h"

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
    bool RunExternal(WindowHandle, const std::string& path, const std::string& parameter,
                     const std::string& directory) override {
        ran.push_back(-1);
        launched.push_back(path + "|" + parameter + "|" + directory);
        return false;
    }
    std::vector<BuiltinCommandId> ran;  // -1 for an external command
    std::vector<std::string> launched;

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

// A list holding the commands of one record as Sequence.dat stores them.
class StoredList {
  public:
    explicit StoredList(const std::vector<testing::CommandSpec>& commands)
        : records_(Bytes(commands), Bytes(commands).Size(), true) {
        StoredRecord record;
        EXPECT_TRUE(records_.Next(record));
        list_.SetCommands(record.commands);
    }
    const CommandList& List() const { return list_; }

  private:
    static ByteBlock Bytes(const std::vector<testing::CommandSpec>& commands) {
        const std::string file = testing::SequenceFileBytes({{"s", {{0, 'A'}}, commands}});
        ByteBlock bytes;
        EXPECT_TRUE(bytes.Allocate(file.size() - testing::kSequenceHeaderSize));
        file.copy(bytes.Data(), bytes.Size(), testing::kSequenceHeaderSize);
        return bytes;
    }
    StoredRecords records_;  // declared first: the list points into it
    CommandList list_;
};

// Each run builds its commands afresh from the stored bytes, texts cut at a zero byte as read.
TEST(CommandListTest, BuildsEveryStoredCommandEachTimeItRuns) {
    const StoredList stored({testing::Builtin(kOpenStartMenu),
                             testing::External("C:\\a.exe", std::string("-x\0junk", 7), ""),
                             testing::Builtin(kDoNothing)});
    EXPECT_EQ(stored.List().CommandCount(), 3u);
    ScriptedRunner runner({kCommandDone, kCommandDone});
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(stored.List().ExecuteAll(runner), kCommandDone);
    }
    EXPECT_EQ(runner.ran, (std::vector<BuiltinCommandId>{kOpenStartMenu, -1, kDoNothing,
                                                         kOpenStartMenu, -1, kDoNothing}));
    EXPECT_EQ(runner.launched, (std::vector<std::string>{"C:\\a.exe|-x|", "C:\\a.exe|-x|"}));
}

struct FoldCase {
    const char* name;
    std::vector<CommandResult> results;
    CommandResult folded;
};

class CommandListFoldTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(CommandListFoldTest, RunsEveryCommandAndFoldsTheResults) {
    const FoldCase& fold = GetParam();
    std::vector<testing::CommandSpec> commands;
    for (std::size_t i = 0; i < fold.results.size(); ++i) {
        commands.push_back(testing::Builtin(static_cast<BuiltinCommandId>(i)));
    }
    const StoredList stored(commands);
    ScriptedRunner runner(fold.results);
    EXPECT_EQ(stored.List().ExecuteAll(runner), fold.folded);
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
