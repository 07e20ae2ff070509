#include "app/shortcut_descriptions.h"

#include <vector>

#include "engine/sequence_engine.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {
namespace {

// A description names this many sequences of each role, then how many more there are.
constexpr std::size_t kNamed = 3;

// The sequences that a chord starts, or continues: the first few by name, the rest counted.
struct Role {
    std::size_t count = 0;
    std::uint32_t last = 0;  // a sequence that holds the chord twice counts once
    std::vector<std::string> named;

    void Note(const SequenceMatcher& matcher) {
        if (count != 0 && last == matcher.Number()) {
            return;
        }
        last = matcher.Number();
        ++count;
        if (named.size() < kNamed) {
            named.push_back(matcher.Name().empty() ? std::to_string(matcher.Number())
                                                   : std::string(matcher.Name()));
        }
    }

    std::string Names(Platform& platform) const {
        std::string names;
        for (const std::string& name : named) {
            names += (names.empty() ? "" : ", ") + name;
        }
        if (count <= kNamed) {
            return names;
        }
        return FillIn(LoadText(platform, ids::kTextShortcutMore),
                      {names, std::to_string(count - kNamed)});
    }
};

struct Roles {
    Role starts;
    Role continues;
};

std::string Describe(Platform& platform, const Roles& roles) {
    std::string text;
    if (roles.starts.count != 0) {
        text = FillIn(LoadText(platform, ids::kTextShortcutStarts), roles.starts.Names(platform));
    }
    if (roles.continues.count != 0) {
        text +=
            (text.empty() ? "" : " / ") + FillIn(LoadText(platform, ids::kTextShortcutContinues),
                                                 roles.continues.Names(platform));
    }
    return text;
}

}  // namespace

std::map<KeyChord, std::string> DescribeChords(Platform& platform, const SequenceEngine& engine) {
    // The registry's ids are dense: its chords and the roles go by id.
    const std::map<KeyChord, HotkeyId>& hotkeys = engine.Registry().Hotkeys();
    std::vector<KeyChord> chords(hotkeys.size());
    for (const auto& [chord, id] : hotkeys) {
        chords[static_cast<std::size_t>(id)] = chord;
    }
    std::vector<Roles> roles(hotkeys.size());
    for (std::size_t i = 0; i < engine.MatcherCount(); ++i) {
        const SequenceMatcher& matcher = engine.Matcher(i);
        const std::vector<HotkeyId>& keys = matcher.Keys();
        for (std::size_t k = 0; k < keys.size(); ++k) {
            Roles& role = roles[static_cast<std::size_t>(keys[k])];
            (k == 0 ? role.starts : role.continues).Note(matcher);
        }
    }
    std::map<KeyChord, std::string> descriptions;
    for (std::size_t id = 0; id < chords.size(); ++id) {
        descriptions.emplace(chords[id], Describe(platform, roles[id]));
    }
    if (engine.AbortId() != kNoHotkey) {
        descriptions[chords[static_cast<std::size_t>(engine.AbortId())]] =
            LoadText(platform, ids::kTextShortcutAborts);
    }
    return descriptions;
}

}  // namespace pavix
