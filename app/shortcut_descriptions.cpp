#include "app/shortcut_descriptions.h"

#include <vector>

#include "app/editor_factory.h"
#include "resources/ids.h"
#include "resources/texts.h"
#include "storage/sequence_file.h"
#include "storage/settings.h"

namespace pavix {
namespace {

// A description names this many sequences of each role, then how many more there are.
constexpr std::size_t kNamed = 3;

struct Roles {
    std::vector<std::size_t> starts;
    std::vector<std::size_t> continues;
};

class QuietReporter final : public FileProblemReporter {
  public:
    void ReportFileProblem(FileProblem) override {}
};

void Note(std::vector<std::size_t>& sequences, std::size_t index) {
    if (sequences.empty() || sequences.back() != index) {
        sequences.push_back(index);
    }
}

std::string Names(Platform& platform, const SequenceList& list,
                  const std::vector<std::size_t>& sequences) {
    std::string names;
    for (std::size_t i = 0; i < sequences.size() && i < kNamed; ++i) {
        const std::string& name = list.At(sequences[i]).Name();
        names += (i == 0 ? "" : ", ") + (name.empty() ? std::to_string(sequences[i] + 1) : name);
    }
    if (sequences.size() <= kNamed) {
        return names;
    }
    return FillIn(LoadText(platform, ids::kTextShortcutMore),
                  {names, std::to_string(sequences.size() - kNamed)});
}

}  // namespace

std::map<KeyChord, std::string> DescribeChords(Platform& platform, const SequenceList& list,
                                               std::optional<KeyChord> abortChord) {
    std::map<KeyChord, Roles> roles;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const Sequence& sequence = list.At(i);
        if (sequence.Commands().empty()) {
            continue;
        }
        for (std::size_t k = 0; k < sequence.Keys().size(); ++k) {
            Roles& role = roles[sequence.Keys()[k]];
            Note(k == 0 ? role.starts : role.continues, i);
        }
    }
    std::map<KeyChord, std::string> descriptions;
    for (const auto& [chord, role] : roles) {
        std::string text;
        if (!role.starts.empty()) {
            text = FillIn(LoadText(platform, ids::kTextShortcutStarts),
                          Names(platform, list, role.starts));
        }
        if (!role.continues.empty()) {
            text += (text.empty() ? "" : " / ") +
                    FillIn(LoadText(platform, ids::kTextShortcutContinues),
                           Names(platform, list, role.continues));
        }
        descriptions[chord] = text;
    }
    if (abortChord) {
        descriptions[*abortChord] = LoadText(platform, ids::kTextShortcutAborts);
    }
    return descriptions;
}

std::map<KeyChord, std::string> DescribeStoredChords(Platform& platform) {
    QuietReporter quiet;
    Settings settings(platform, quiet);
    settings.Load();
    SequenceList list;
    SequenceFile file(platform, quiet);
    if (file.Open(false) == FileResult::kOk) {
        for (auto sequence = std::make_unique<Sequence>(); file.Read(*sequence);
             sequence = std::make_unique<Sequence>()) {
            list.Append(std::move(sequence));
        }
    }
    file.Close();
    return DescribeChords(platform, list, ActiveAbortChord(settings));
}

}  // namespace pavix
