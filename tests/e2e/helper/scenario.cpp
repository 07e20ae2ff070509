#include "scenario.h"

namespace pavix_e2e {

Verdict ScenarioContext::WriteConfig(const ConfigSpec& config) {
    return WriteConfigBytes(ConfigFileBytes(config));
}

Verdict ScenarioContext::WriteConfigBytes(const Bytes& bytes) {
    const std::string path = workspace.folder + "\\Config.dat";
    return WriteFileBytes(path, bytes) ? Pass() : Fail("cannot write " + path);
}

Verdict ScenarioContext::WriteSequences(const std::vector<SequenceSpec>& sequences) {
    return WriteSequenceBytes(SequenceFileBytes(sequences));
}

Verdict ScenarioContext::WriteSequenceBytes(const Bytes& bytes) {
    const std::string path = workspace.folder + "\\Sequence.dat";
    return WriteFileBytes(path, bytes) ? Pass() : Fail("cannot write " + path);
}

CommandSpec ScenarioContext::MarkerCommand() const {
    return External(paths.markExe, "\"" + workspace.marker + "\"", workspace.runFolder);
}

Verdict ScenarioContext::StartPavix() {
    Verdict verdict = pavix.Start(workspace.exe, paths.workRoot);
    if (!verdict.passed) {
        return verdict;
    }
    return pavix.WaitForWindow();
}

Verdict ScenarioContext::StartAndWaitForIcon() {
    Verdict verdict = StartPavix();
    if (!verdict.passed) {
        return verdict;
    }
    TrayRecord added;
    return WaitForTray(0, NIM_ADD, &added);
}

Verdict ScenarioContext::WaitForTray(std::size_t index, std::uint32_t message, TrayRecord* out) {
    if (tray == nullptr) {
        return Fail("this scenario runs without the notification area stand-in");
    }
    // A message box blocks Pavix until it is answered: report it at once instead of waiting.
    std::vector<HWND> boxes;
    const bool arrived = WaitUntil([&] {
        if (tray->Count() > index) {
            return true;
        }
        boxes = pavix.Id() != 0 ? FindMessageBoxes(pavix.Id()) : std::vector<HWND>();
        return !boxes.empty();
    });
    if (tray->Count() <= index) {
        std::string reason = "expected tray request #" + std::to_string(index + 1) + " (" +
                             TrayMessageName(message) + "), only " + std::to_string(tray->Count()) +
                             " arrived";
        BoxText box;
        if (arrived && !boxes.empty() && ReadMessageBox(boxes.front(), &box)) {
            reason += "; instead Pavix shows the message box \"" + Utf8(box.caption) + "\" / \"" +
                      Utf8(box.text) + "\"";
        }
        return Fail(reason);
    }
    const TrayRecord record = tray->Records()[index];
    if (record.message != message) {
        return Fail("tray request #" + std::to_string(index + 1) + " is " +
                    TrayMessageName(record.message) + ", expected " + TrayMessageName(message));
    }
    if (out != nullptr) {
        *out = record;
    }
    return Pass();
}

Verdict ScenarioContext::ExpectIcon(std::size_t index, std::uint32_t message, std::size_t reference,
                                    bool samePicture) {
    TrayRecord record;
    if (Verdict verdict = WaitForTray(index, message, &record); !verdict.passed) {
        return verdict;
    }
    if (Verdict verdict = CheckIconRecord(record); !verdict.passed) {
        return Fail("tray request #" + std::to_string(index + 1) + ": " + verdict.reason);
    }
    const std::vector<TrayRecord> records = tray->Records();
    if (reference >= records.size()) {
        return Fail("no tray request #" + std::to_string(reference + 1) + " to compare with");
    }
    const bool same = records[reference].digest == record.digest;
    if (same != samePicture) {
        return Fail("the picture of tray request #" + std::to_string(index + 1) + " (" +
                    TrayMessageName(record.message) + ") is " + (same ? "the same as" : "not") +
                    " that of request #" + std::to_string(reference + 1) + " (" +
                    TrayMessageName(records[reference].message) + ")" +
                    (same ? ", expected a different one" : ", expected the same"));
    }
    return Pass();
}

Verdict ScenarioContext::CheckIconRecord(const TrayRecord& record) const {
    const std::uint32_t window = HandleValue(pavix.Window());
    if (record.window != window || record.uid != kTrayUid || record.flags != kTrayFlags ||
        record.callbackMessage != kTrayCallbackMessage) {
        return Fail("icon record hWnd " + Hex(record.window) + " uID " + Hex(record.uid) +
                    " uFlags " + Hex(record.flags) + " uCallbackMessage " +
                    Hex(record.callbackMessage) + ", expected hWnd " + Hex(window) + " uID " +
                    Hex(kTrayUid) + " uFlags " + Hex(kTrayFlags) + " uCallbackMessage " +
                    Hex(kTrayCallbackMessage));
    }
    if (!PayloadHasUtf16Text(record.payload, L"Pavix")) {
        return Fail("the icon record does not carry the tooltip \"Pavix\"");
    }
    return Pass();
}

Verdict ScenarioContext::ExpectTrayCount(std::size_t count) {
    if (tray == nullptr) {
        return Fail("this scenario runs without the notification area stand-in");
    }
    const std::vector<TrayRecord> records = tray->Records();
    if (records.size() != count) {
        std::string kinds;
        for (const TrayRecord& record : records) {
            kinds += std::string(kinds.empty() ? "" : ", ") + TrayMessageName(record.message);
        }
        return Fail("expected " + std::to_string(count) + " tray requests, saw " +
                    std::to_string(records.size()) + " (" + kinds + ")");
    }
    return Pass();
}

Verdict ScenarioContext::ExpectRuns(std::size_t runs) {
    if (runs > 0 && !WaitForLines(workspace.marker, runs)) {
        return Fail("the command ran " + std::to_string(ReadLines(workspace.marker).size()) +
                    " times, expected " + std::to_string(runs));
    }
    if (pavix.Id() != 0 && !WaitForChildren(pavix.Id())) {
        return Fail("a command started by Pavix did not end");
    }
    const std::vector<std::string> lines = ReadLines(workspace.marker);
    if (lines.size() != runs) {
        return Fail("the command ran " + std::to_string(lines.size()) + " times, expected " +
                    std::to_string(runs));
    }
    for (const std::string& line : lines) {
        if (lstrcmpiA(line.c_str(), workspace.runFolder.c_str()) != 0) {
            return Fail("the command ran in \"" + line + "\", expected its directory \"" +
                        workspace.runFolder + "\"");
        }
    }
    return Pass();
}

}  // namespace pavix_e2e
