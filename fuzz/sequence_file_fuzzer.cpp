// Sequence.dat as any bytes at all, read the two ways the program reads it: the editor's (a fresh
// sequence per record, kept in a list, then written back) and the engine's (Enable over the
// stand-in). Both must agree with an independent reading of the layout, record for record.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editors/error_boxes.h"
#include "engine/sequence_engine.h"
#include "fake/fake_platform.h"
#include "fuzz/check.h"
#include "fuzz/file_format.h"
#include "resources/texts.h"
#include "storage/sequence_file.h"

namespace pavix::fuzz {
namespace {

constexpr WindowHandle kWindow = 0x1234;

bool SameRecord(const Sequence& sequence, const SequenceSpec& record) {
    if (sequence.Name() != record.name || sequence.Keys().size() != record.keys.size() ||
        sequence.Commands().size() != record.commands.size()) {
        return false;
    }
    for (std::size_t i = 0; i < record.keys.size(); ++i) {
        if (sequence.Keys()[i].modifiers != record.keys[i].modifiers ||
            sequence.Keys()[i].keyCode != record.keys[i].virtualKey) {
            return false;
        }
    }
    for (std::size_t i = 0; i < record.commands.size(); ++i) {
        const Command& command = *sequence.Commands()[i];
        const CommandSpec& expected = record.commands[i];
        if (command.IsBuiltin() != expected.builtin) {
            return false;
        }
        if (command.IsBuiltin()) {
            if (static_cast<const BuiltinCommand&>(command).Id() != expected.id) {
                return false;
            }
            continue;
        }
        const auto& external = static_cast<const ExternalCommand&>(command);
        if (external.Path() != expected.path || external.Parameter() != expected.parameter ||
            external.Directory() != expected.directory) {
            return false;
        }
    }
    return true;
}

// Notes what each command asked for instead of doing it.
class NotingRunner : public CommandRunner {
  public:
    CommandResult RunBuiltin(BuiltinCommandId id) override {
        ran.push_back(testing::Builtin(id));
        return kCommandDone;
    }
    bool RunExternal(WindowHandle, const std::string& path, const std::string& parameter,
                     const std::string& directory) override {
        ran.push_back(testing::External(path, parameter, directory));
        return true;
    }
    std::vector<CommandSpec> ran;
};

// The commands a matcher builds when it runs are the record's, one for one.
bool RunsTheRecordsCommands(const SequenceMatcher& matcher, const SequenceSpec& record) {
    NotingRunner runner;
    matcher.ExecuteAll(runner);
    if (runner.ran.size() != record.commands.size()) {
        return false;
    }
    for (std::size_t i = 0; i < record.commands.size(); ++i) {
        const CommandSpec& ran = runner.ran[i];
        const CommandSpec& expected = record.commands[i];
        if (ran.builtin != expected.builtin ||
            (ran.builtin ? ran.id != expected.id
                         : ran.path != expected.path || ran.parameter != expected.parameter ||
                               ran.directory != expected.directory)) {
            return false;
        }
    }
    return true;
}

void CheckMessage(fake::FakePlatform& platform, std::uint32_t expected) {
    if (expected == kNoMessage) {
        PAVIX_FUZZ_CHECK(platform.messageBoxes.empty());
        return;
    }
    PAVIX_FUZZ_CHECK(platform.messageBoxes.size() == 1);
    PAVIX_FUZZ_CHECK(platform.messageBoxes[0].text == LoadText(platform, expected));
}

void CheckEditorReading(const std::string& bytes, const ParsedSequenceFile& expected) {
    fake::FakePlatform platform;
    platform.recording = false;
    SequenceList list;
    {
        ErrorBoxes fileBoxes(platform);
        SequenceFile file(platform, fileBoxes);
        platform.files[file.Path()] = bytes;
        const FileResult opened = file.Open(false);
        PAVIX_FUZZ_CHECK(opened == expected.openResult);
        CheckMessage(platform, expected.message);
        if (opened == FileResult::kOk) {
            for (;;) {
                auto sequence = std::make_unique<Sequence>();
                if (!file.Read(*sequence)) {
                    break;
                }
                list.Append(std::move(sequence));
            }
            PAVIX_FUZZ_CHECK(file.Damaged() == expected.damaged);
            Sequence after;
            PAVIX_FUZZ_CHECK(!file.Read(after));  // reading stays at its end
            PAVIX_FUZZ_CHECK(list.Size() == expected.records.size());
            for (std::size_t i = 0; i < list.Size(); ++i) {
                PAVIX_FUZZ_CHECK(SameRecord(list.At(i), expected.records[i]));
            }
        }
        // A rejected header has closed the file before its message.
        PAVIX_FUZZ_CHECK(file.Close() == (opened == FileResult::kOk));
    }
    PAVIX_FUZZ_CHECK(platform.OpenFileCount() == 0);
    if (expected.openResult != FileResult::kOk) {
        return;
    }

    // Saving the list writes exactly the records that were read, with their texts as read.
    platform.messageBoxes.clear();
    ErrorBoxes fileBoxes(platform);
    SequenceFile file(platform, fileBoxes);
    PAVIX_FUZZ_CHECK(file.Open(true) == FileResult::kOk);
    for (std::size_t i = 0; i < list.Size(); ++i) {
        PAVIX_FUZZ_CHECK(file.Write(list.At(i)));
    }
    PAVIX_FUZZ_CHECK(file.Close());
    PAVIX_FUZZ_CHECK(platform.messageBoxes.empty());
    PAVIX_FUZZ_CHECK(platform.files[file.Path()] == testing::SequenceFileBytes(expected.records));
}

void CheckEnabling(const std::string& bytes, const ParsedSequenceFile& expected) {
    fake::FakePlatform platform;
    {
        ErrorBoxes namesBoxes(platform);
        SequenceFile names(platform, namesBoxes);
        platform.files[names.Path()] = bytes;
    }
    ErrorBoxes engineBoxes(platform);
    SequenceEngine engine(platform, engineBoxes);
    engine.SetWindow(kWindow);
    const bool enabled = engine.Enable();
    PAVIX_FUZZ_CHECK(enabled == (expected.openResult == FileResult::kOk));
    CheckMessage(platform, expected.openResult != FileResult::kOk ? expected.message
                           : expected.damaged                     ? kInvalidFormatMessage
                                                                  : kNoMessage);
    // The silent form plays nothing, unless an unusable file made the engine disable itself.
    PAVIX_FUZZ_CHECK(platform.CallsNamed("PlaySoundA").size() ==
                     (expected.openResult == FileResult::kOk ? 0u : 1u));

    // Chords get ids in the order they are first met in the usable records.
    std::map<KeyChord, HotkeyId> ids;
    std::size_t matcher = 0;
    for (const SequenceSpec& record : expected.records) {
        if (record.keys.empty() || record.commands.empty()) {
            continue;
        }
        PAVIX_FUZZ_CHECK(matcher < engine.MatcherCount());
        const std::vector<HotkeyId>& keys = engine.Matcher(matcher).Keys();
        PAVIX_FUZZ_CHECK(keys.size() == record.keys.size());
        for (std::size_t i = 0; i < record.keys.size(); ++i) {
            const KeyChord chord{record.keys[i].modifiers, record.keys[i].virtualKey};
            const auto inserted = ids.emplace(chord, static_cast<HotkeyId>(ids.size()));
            PAVIX_FUZZ_CHECK(keys[i] == inserted.first->second);
        }
        PAVIX_FUZZ_CHECK(engine.Matcher(matcher).CommandCount() == record.commands.size());
        PAVIX_FUZZ_CHECK(engine.Matcher(matcher).Name() == record.name);
        PAVIX_FUZZ_CHECK(RunsTheRecordsCommands(engine.Matcher(matcher), record));
        ++matcher;
    }
    PAVIX_FUZZ_CHECK(matcher == engine.MatcherCount());
    PAVIX_FUZZ_CHECK(engine.Registry().Hotkeys() == ids);
    PAVIX_FUZZ_CHECK(platform.hotkeys.size() == ids.size());
    PAVIX_FUZZ_CHECK(engine.CandidateIndexes().empty());
    PAVIX_FUZZ_CHECK(platform.OpenFileCount() == 0);

    engine.Disable();
    PAVIX_FUZZ_CHECK(platform.hotkeys.empty());
    PAVIX_FUZZ_CHECK(engine.Registry().Hotkeys().empty());
    PAVIX_FUZZ_CHECK(engine.MatcherCount() == 0);
}

}  // namespace
}  // namespace pavix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const pavix::fuzz::ParsedSequenceFile expected = pavix::fuzz::ParseSequenceFile(bytes);
    pavix::fuzz::CheckEditorReading(bytes, expected);
    pavix::fuzz::CheckEnabling(bytes, expected);
    return 0;
}
