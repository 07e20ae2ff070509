#include "table.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pavix_e2e {
namespace {

constexpr std::uint16_t kVirtualKeyF1 = 0x70;
constexpr int kFunctionKeys = 12;
constexpr std::int32_t kDefaultTimeoutMs = 60000;

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

bool ParseKey(const std::string& key, std::uint16_t* virtualKey) {
    if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0]))) {
        *virtualKey = static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(key[0])));
        return true;
    }
    if (key.size() >= 2 && key[0] == 'F' && std::isdigit(static_cast<unsigned char>(key[1]))) {
        const int number = std::atoi(key.c_str() + 1);
        if (number >= 1 && number <= kFunctionKeys && key == "F" + std::to_string(number)) {
            *virtualKey = static_cast<std::uint16_t>(kVirtualKeyF1 + number - 1);
            return true;
        }
    }
    return false;
}

bool ParseChords(const std::vector<std::string>& words, std::vector<Chord>* chords) {
    for (const std::string& word : words) {
        Chord chord;
        if (!ParseChord(word, &chord)) {
            return false;
        }
        chords->push_back(chord);
    }
    return true;
}

// "name | chords | commands"
bool ParseSequence(const std::string& text, TableSequence* sequence) {
    const std::size_t first = text.find('|');
    const std::size_t second = first == std::string::npos ? first : text.find('|', first + 1);
    if (second == std::string::npos) {
        return false;
    }
    sequence->name = Trim(text.substr(0, first));
    sequence->commands = Words(text.substr(second + 1));
    for (const std::string& command : sequence->commands) {
        if (command != "mark" && command != "nothing" && command != "disable" &&
            command != "exit") {
            return false;
        }
    }
    return ParseChords(Words(text.substr(first + 1, second - first - 1)), &sequence->chords);
}

int SoundIndex(const std::string& name) {
    for (std::size_t i = 0; i < kSoundNames.size(); ++i) {
        if (kSoundNames[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// "match,timeout": the events that sound.
bool ParseSounds(const std::string& value, std::array<bool, kSoundNames.size()>* sounding) {
    std::istringstream names(value);
    for (std::string name; std::getline(names, name, ',');) {
        const int index = SoundIndex(name);
        if (index < 0) {
            return false;
        }
        (*sounding)[static_cast<std::size_t>(index)] = true;
    }
    return true;
}

// The scene's "config" line: the settings, and "sounds" or "sounds=match,timeout" for the events
// that sound.
bool ParseSceneConfig(const std::vector<std::string>& words, TableScenario* scenario) {
    std::vector<std::string> settings;
    for (const std::string& word : words) {
        if (word == "sounds") {
            scenario->sounding.fill(true);
        } else if (word.rfind("sounds=", 0) == 0) {
            if (word.size() == 7 || !ParseSounds(word.substr(7), &scenario->sounding)) {
                return false;
            }
        } else {
            settings.push_back(word);
        }
    }
    return ParseConfig(settings, &scenario->config);
}

bool AreSoundNames(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (SoundIndex(word) < 0) {
            return false;
        }
    }
    return true;
}

// Lines before "start" set the scene; the rest are steps.
bool ParseLine(const TableStep& step, TableScenario* scenario) {
    const bool started = !scenario->steps.empty();
    if (step.verb == "config" && !started) {
        return ParseSceneConfig(step.words, scenario);
    }
    if (step.verb == "sequence" && !started) {
        TableSequence sequence;
        if (!ParseSequence(step.text, &sequence)) {
            return false;
        }
        scenario->sequences.push_back(sequence);
        return true;
    }
    if (step.verb == "skip" && !started) {
        const std::size_t blank = step.text.find(' ');
        const std::string platform = step.text.substr(0, blank);
        const bool known = platform == "windows" || platform == "linux" || platform == "wayland";
        if (!known || blank == std::string::npos) {
            return false;  // a skip always says why
        }
        scenario->skipped[platform] = Trim(step.text.substr(blank));
        return true;
    }
    if (step.verb == "hold" && !started) {
        return ParseChords(step.words, &scenario->held);
    }
    if (step.verb == "absent" && !started) {
        for (const std::string& file : step.words) {
            if (file != "Config.dat" && file != "Sequence.dat") {
                return false;
            }
            scenario->absent.push_back(file);
        }
        return !step.words.empty();
    }
    if (!started && step.verb != "start") {
        return false;
    }
    if (step.verb == "sounds" && !AreSoundNames(step.words)) {
        return false;
    }
    scenario->steps.push_back(step);
    return true;
}

}  // namespace

bool ParseChord(const std::string& text, Chord* chord) {
    std::uint16_t modifiers = 0;
    std::size_t begin = 0;
    for (std::size_t plus; (plus = text.find('+', begin)) != std::string::npos; begin = plus + 1) {
        const std::string name = text.substr(begin, plus - begin);
        const std::uint16_t bit = name == "ctrl"    ? kControl
                                  : name == "alt"   ? kAlt
                                  : name == "shift" ? kShift
                                  : name == "super" ? kWin
                                                    : 0;
        if (bit == 0) {
            return false;
        }
        modifiers |= bit;
    }
    chord->modifiers = modifiers;
    return ParseKey(text.substr(begin), &chord->virtualKey);
}

bool ParseConfig(const std::vector<std::string>& words, ConfigSpec* config) {
    for (const std::string& word : words) {
        const std::size_t equals = word.find('=');
        const std::string key = word.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
        if (key == "timeout" && !value.empty()) {
            config->timeout = std::atoi(value.c_str());
        } else if (key == "abort" && ParseChord(value, &config->abortKey)) {
            config->abortEnabled = true;
        } else {
            return false;
        }
    }
    return true;
}

bool Writes(const TableScenario& scenario, const std::string& file) {
    for (const std::string& absent : scenario.absent) {
        if (absent == file) {
            return false;
        }
    }
    return true;
}

bool ExpandText(const std::string& text,
                const std::function<bool(const std::string& name, std::string* value)>& value,
                std::string* out) {
    out->clear();
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, 2, "\\n") == 0 || text.compare(at, 2, "\\t") == 0) {
            *out += text[at + 1] == 'n' ? '\n' : '\t';
            ++at;
        } else if (text[at] == '{') {
            const std::size_t close = text.find('}', at);
            std::string named;
            if (close == std::string::npos || !value(text.substr(at + 1, close - at - 1), &named)) {
                return false;
            }
            *out += named;
            at = close;
        } else {
            *out += text[at];
        }
    }
    return true;
}

bool ReadControlIds(const std::string& path, ControlIds* ids, std::string* error) {
    std::ifstream file(path);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string dialog;
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        std::string kind;
        std::string id;
        std::getline(fields, kind, '\t');
        std::getline(fields, id, '\t');
        const std::size_t colon = id.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos) {
            continue;
        }
        const std::string name = id.substr(colon + 1);
        const int number = std::atoi(id.c_str());
        if (kind == "dialog") {
            dialog = name;
            (*ids)[dialog] = number;
        } else if (!dialog.empty()) {
            (*ids)[dialog + "." + name] = number;
        }
    }
    return true;
}

std::string DialogsPathBeside(const std::string& tablePath) {
    std::string path = tablePath;
    for (int up = 0; up < 4; ++up) {  // shared.txt, scenarios, e2e, tests
        const std::size_t slash = path.find_last_of("/\\");
        path = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    }
    const char separator = tablePath.find('\\') != std::string::npos ? '\\' : '/';
    return path + separator + "resources" + separator + "dialogs.tsv";
}

std::vector<SequenceSpec> SequenceRecords(const TableScenario& scenario,
                                          const CommandSpec& marker) {
    std::vector<SequenceSpec> records;
    for (const TableSequence& sequence : scenario.sequences) {
        SequenceSpec record{sequence.name, sequence.chords, {}};
        for (const std::string& command : sequence.commands) {
            record.commands.push_back(command == "mark"      ? marker
                                      : command == "disable" ? Builtin(kBuiltinDisableHotkey)
                                      : command == "exit"    ? Builtin(kBuiltinExitPavix)
                                                             : Builtin(kBuiltinDoNothing));
        }
        records.push_back(record);
    }
    return records;
}

ConfigSpec ConfigWithSounds(const TableScenario& scenario, const std::string& folder,
                            char separator) {
    ConfigSpec config = scenario.config;
    for (std::size_t i = 0; i < kSoundNames.size(); ++i) {
        config.sounds[i] = scenario.sounding[i]
                               ? folder + separator + std::string(kSoundNames[i]) + ".wav"
                               : std::string();
    }
    return config;
}

bool ReadTable(const std::string& path, std::vector<TableScenario>* scenarios, std::string* error) {
    std::ifstream file(path);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        TableStep step;
        step.line = number;
        const std::size_t blank = line.find(' ');
        step.verb = line.substr(0, blank);
        step.text = blank == std::string::npos ? "" : Trim(line.substr(blank));
        step.words = Words(step.text);
        if (step.verb == "scenario" && !step.words.empty() && step.words.size() <= 2) {
            TableScenario scenario;
            scenario.name = step.words[0];
            scenario.group = step.words.size() == 2 ? step.words[1] : "en";
            scenario.config.timeout = kDefaultTimeoutMs;
            scenarios->push_back(scenario);
        } else if (scenarios->empty() || !ParseLine(step, &scenarios->back())) {
            *error = path + " line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

}  // namespace pavix_e2e
