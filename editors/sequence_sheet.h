// The sheet of all sequences: a window beside the tray, not modal, that lists every sequence of
// Sequence.dat grouped by first chord, narrows the rows to a filter and copies them as text
// (its button, or Ctrl+C in the list). It reads the file as the sequence editor does and changes
// nothing; it registers no hotkey, so Pavix keeps its own while the sheet is open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editors/modal_dialog.h"
#include "editors/sheet_rows.h"
#include "resources/ids.h"

namespace pavix {

class SequenceSheet : public ModalDialog, public ids::SequenceSheetIds {
  public:
    explicit SequenceSheet(Platform& platform) : ModalDialog(platform) {}
    ~SequenceSheet() override { Close(); }
    SequenceSheet(const SequenceSheet&) = delete;
    SequenceSheet& operator=(const SequenceSheet&) = delete;

    // Opens the sheet over Sequence.dat as it is now, owned by `owner`, or brings the open one
    // to the front. `abortChord`: the abort key while its switch is on, for the marks.
    void Show(WindowHandle owner, std::optional<KeyChord> abortChord);
    // Reads Sequence.dat anew while the sheet is open; the filter stays.
    void Refresh(std::optional<KeyChord> abortChord);
    void Close();
    // The sheet's window while it is open, whose keys the message loop hands to it; else 0.
    WindowHandle OpenWindow() const { return open_ ? Window() : 0; }
    // The rows the list shows, copied.
    std::vector<SheetRow> Rows() const;

  protected:
    bool OnInitDialog() override;
    bool OnCommand(std::int32_t id, std::uint16_t code) override;
    bool OnNotify(const NotifyHeader& header) override;
    void OnDestroy() override { open_ = false; }

  private:
    void SetUpColumns();
    void Load();
    void ShowRows();
    void CopyAsText();
    void OnGetDispInfo(const ListViewDispInfo& info);

    std::optional<KeyChord> abortChord_;
    SheetView view_;
    std::string filter_;
    bool open_ = false;
};

}  // namespace pavix
