// The sequence editor: the whole list of sequences on the left, the current sequence (name, keys,
// commands) on the right. It reads Sequence.dat when it opens and writes the whole list back on
// OK; Cancel discards every change. Its three list views are virtual: they hold row counts only
// and ask the editor for each cell's text. Every sequence that can never run is marked in the
// list, and the reason for the one shown on the right is spelled out under it. Export writes the
// whole list as text; Import replaces it with the sequences of a text, but only when the whole
// text is good.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "editors/modal_dialog.h"
#include "editors/sequence_warnings.h"
#include "model/sequence.h"
#include "resources/ids.h"

namespace pavix {

class SequenceEditor : public ModalDialog, public ids::SequenceEditorIds {
  public:
    // Put before the name of a sequence that can never run.
    static constexpr const char* kMark = "! ";

    // `abortChord`: the chord of the abort key while its switch is on, which aborts every search.
    SequenceEditor(Platform& platform, DialogStack& dialogs,
                   std::optional<KeyChord> abortChord = std::nullopt)
        : ModalDialog(platform, dialogs), warnings_(platform, abortChord) {}

    // 1 (OK, after saving) or 2 (Cancel).
    std::intptr_t Run() { return RunModal(kTemplateId); }

  protected:
    bool OnInitDialog() override;
    bool OnCommand(std::int32_t id, std::uint16_t code) override;
    bool OnNotify(const NotifyHeader& header) override;
    void OnDestroy() override;

  private:
    // The buttons of one list, as the button-state table enables them.
    struct ListButtons {
        std::int32_t list;
        std::int32_t up;
        std::int32_t down;
        std::int32_t edit;  // 0: the list has none
        std::int32_t remove;
    };

    void SetIcons();
    void SetUpColumns();
    void LoadSequences();
    void Save();

    void Show(Sequence* sequence);
    void UpdateButtons();
    void UpdateSequenceButtons();
    void UpdateKeyButtons();
    void UpdateCommandButtons();
    void UpdateListButtons(const ListButtons& buttons, std::size_t count, bool usable);
    void OnItemChanged();
    // Takes in the list after a change: the marks and the reason for the current sequence.
    void ShowWarnings();
    void StoreName();
    bool CellText(std::int32_t list, std::int32_t row, std::int32_t column, std::string* text);
    void OnGetDispInfo(const ListViewDispInfo& info);

    bool OnSequenceButton(std::int32_t id);
    bool OnKeyButton(std::int32_t id);
    bool OnCommandButton(std::int32_t id);
    bool OnTextButton(std::int32_t id);
    // The list read from a text in place of the whole list, shown as at opening.
    void ReplaceSequences(SequenceList sequences);
    void AddSequence();
    void CopySequence();
    void DeleteSequence();
    void AddKey();
    void EditKey();
    void RecordKeys();
    void AddCommand();
    void EditCommand();
    // Up and Down of any list: a beep at the first or last row, else `move` and the moved
    // element selected at its new row.
    template <typename Move>
    void MoveRow(std::int32_t list, std::size_t count, bool up, Move move);

    SequenceList sequences_;
    Sequence* current_ = nullptr;  // shown on the right; not necessarily the selected row
    SequenceWarnings warnings_;
    std::string nameText_;
    std::string textPath_ = "Sequences.toml";  // the file of the last export or import
    // Sequence.dat could not be read completely: OK keeps a backup of it before replacing it.
    bool readIncompletely_ = false;
    IconHandle bigIcon_ = 0;
    IconHandle smallIcon_ = 0;
};

}  // namespace pavix
