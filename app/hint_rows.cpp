#include "app/hint_rows.h"

#include "engine/next_chords.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {

std::vector<HintRow> HintRows(Platform& platform, const SequenceEngine& engine) {
    const std::vector<NextChord> next = NextChords(engine);
    std::vector<HintRow> rows;
    for (std::size_t i = 0; i < next.size() && i < kMostHintRows; ++i) {
        HintRow row;
        row.chord = ChordLabel(platform, next[i].chord);
        if (next[i].completes) {
            row.what = engine.Matcher(*next[i].completes).Name();
        } else if (next[i].continues == 1) {
            row.what = LoadText(platform, ids::kTextContinuesOne);
        } else {
            row.what = FillIn(LoadText(platform, ids::kTextContinuesMany),
                              std::to_string(next[i].continues));
        }
        rows.push_back(std::move(row));
    }
    if (next.size() > kMostHintRows) {
        rows.push_back(HintRow{"", FillIn(LoadText(platform, ids::kTextMoreChords),
                                          std::to_string(next.size() - kMostHintRows))});
    }
    return rows;
}

}  // namespace pavix
