// The configuration dialog: edits a working copy of the settings (the abort hotkey and whether
// it is used, the search time-out, the six event sounds), loaded from Config.dat when it opens
// and written back by OK. It never talks to the engine: the engine reads the file again after
// the dialog.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editors/error_boxes.h"
#include "editors/modal_dialog.h"
#include "resources/ids.h"
#include "storage/settings.h"

namespace pavix {

class ConfigDialog : public ModalDialog, public ids::ConfigDialogIds {
  public:
    // One row of the sound group, in SoundEvent order.
    struct SoundRow {
        std::int32_t pathField;
        std::int32_t browseButton;
        std::int32_t playButton;
    };
    static constexpr std::array<SoundRow, kSoundEventCount> kSoundRows = {{
        {kMatchPath, kMatchBrowse, kMatchPlay},
        {kMismatchPath, kMismatchBrowse, kMismatchPlay},
        {kAbortPath, kAbortBrowse, kAbortPlay},
        {kTimeoutPath, kTimeoutBrowse, kTimeoutPlay},
        {kEnablePath, kEnableBrowse, kEnablePlay},
        {kDisablePath, kDisableBrowse, kDisablePlay},
    }};

    ConfigDialog(Platform& platform, DialogStack& dialogs)
        : ModalDialog(platform, dialogs), boxes_(platform), settings_(platform, boxes_) {}

    // 1 (OK, after saving) or 2 (Cancel).
    std::intptr_t Run() { return RunModal(kTemplateId); }

  protected:
    bool OnInitDialog() override;
    bool OnCommand(std::int32_t id, std::uint16_t code) override;

  private:
    // Each stops at the first control that cannot be written or read, beeping with the focus
    // on it, and then returns false.
    bool ExchangeToControls();
    bool ExchangeFromControls();
    bool ReadTimeout();

    void Accept();
    void ChangeAbortKey();
    // Browse or Play of a sound row; false for an id of no row.
    bool OnSoundButton(std::int32_t id);

    ErrorBoxes boxes_;
    Settings settings_;
    // Config.dat was unusable: OK keeps a backup of it before replacing it.
    bool readIncompletely_ = false;
    std::string abortKeyText_;
    std::array<std::string, kSoundEventCount> soundPaths_;
};

}  // namespace pavix
