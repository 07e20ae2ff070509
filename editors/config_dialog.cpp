#include "editors/config_dialog.h"

#include "editors/file_chooser.h"
#include "editors/hotkey_editor.h"
#include "platform/constants.h"
#include "storage/backup.h"

namespace pavix {
namespace {

constexpr std::uintptr_t kSoundPathLimit = 260;
// BM_SETCHECK knows the states 0 to 2; a stored value beyond them counts as off.
constexpr std::int32_t kLargestCheckState = 2;

}  // namespace

// An unusable Config.dat, or one that cannot be opened at all though it is there, is reported with
// the note that OK keeps a backup of it.
bool ConfigDialog::OnInitDialog() {
    boxes_.SetReadNote(BackupNote(platform_, settings_.Path()));
    const FileResult loaded = settings_.Load();
    const bool refused = loaded == FileResult::kMissing && FileExists(platform_, settings_.Path());
    if (refused) {
        boxes_.ReportFileProblem(FileProblem::kReadFailed);
    }
    readIncompletely_ = loaded == FileResult::kUnusable || refused;
    for (int event = 0; event < kSoundEventCount; ++event) {
        soundPaths_[event] = settings_.SoundPath(static_cast<SoundEvent>(event));
    }
    abortKeyText_ = ChordLabel(platform_, settings_.AbortKey());
    ExchangeToControls();
    for (const SoundRow& row : kSoundRows) {
        SendItem(row.pathField, kEmLimitText, kSoundPathLimit);
    }
    return true;
}

bool ConfigDialog::OnCommand(std::int32_t id, std::uint16_t code) {
    if (id == kIdOk) {
        Accept();
    } else if (id == kIdCancel) {
        End(kIdCancel);
    } else if (id == kChangeButton) {
        ChangeAbortKey();
    } else {
        return code == kBnClicked && OnSoundButton(id);
    }
    return true;
}

bool ConfigDialog::ExchangeToControls() {
    if (settings_.AbortKeyEnabled() < 0 || settings_.AbortKeyEnabled() > kLargestCheckState) {
        settings_.SetAbortKeyEnabled(0);
    }
    SetChecked(kAbortEnableBox, settings_.AbortKeyEnabled());
    if (!SetText(kAbortKeyField, abortKeyText_)) {
        Complain(kAbortKeyField);
        return false;
    }
    const auto timeout = static_cast<std::uint32_t>(settings_.Timeout());
    if (!platform_.SetDlgItemInt(Window(), kTimeoutField, timeout, true)) {
        Complain(kTimeoutField);
        return false;
    }
    for (int event = 0; event < kSoundEventCount; ++event) {
        if (!SetText(kSoundRows[event].pathField, soundPaths_[event])) {
            Complain(kSoundRows[event].pathField);
            return false;
        }
    }
    return true;
}

bool ConfigDialog::ExchangeFromControls() {
    settings_.SetAbortKeyEnabled(Checked(kAbortEnableBox));
    if (!ReadText(kAbortKeyField, &abortKeyText_) || !ReadTimeout()) {
        return false;
    }
    for (int event = 0; event < kSoundEventCount; ++event) {
        if (!ReadText(kSoundRows[event].pathField, &soundPaths_[event])) {
            return false;
        }
    }
    return true;
}

// A field that holds no signed 32-bit number (empty, or out of range) keeps the stored time-out.
bool ConfigDialog::ReadTimeout() {
    bool translated = false;
    const std::uint32_t value = platform_.GetDlgItemInt(Window(), kTimeoutField, &translated, true);
    if (!translated) {
        Complain(kTimeoutField);
        return false;
    }
    settings_.SetTimeout(static_cast<std::int32_t>(value));
    return true;
}

// Every handler below acts only on a complete reading of the controls: a field that cannot be
// taken keeps the dialog as it is, with the focus there, and loses nothing typed elsewhere.
void ConfigDialog::Accept() {
    if (!ExchangeFromControls()) {
        return;
    }
    for (int event = 0; event < kSoundEventCount; ++event) {
        settings_.SetSoundPath(static_cast<SoundEvent>(event), soundPaths_[event]);
    }
    if (!readIncompletely_ || KeepBackup(platform_, settings_.Path())) {
        settings_.Save();
    } else {
        boxes_.ReportBackupFailed(settings_.Path());
    }
    End(kIdOk);
}

void ConfigDialog::ChangeAbortKey() {
    if (!ExchangeFromControls()) {
        return;
    }
    HotkeyEditor editor(platform_, Dialogs());
    editor.Load(settings_.AbortKey());
    if (editor.Run() != kIdOk) {
        return;
    }
    KeyChord chord = settings_.AbortKey();
    editor.Store(chord);
    settings_.SetAbortKey(chord);
    abortKeyText_ = ChordLabel(platform_, chord);
    ExchangeToControls();
}

bool ConfigDialog::OnSoundButton(std::int32_t id) {
    for (int event = 0; event < kSoundEventCount; ++event) {
        const SoundRow& row = kSoundRows[event];
        if (id != row.browseButton && id != row.playButton) {
            continue;
        }
        if (!ExchangeFromControls()) {
            return true;
        }
        std::string& path = soundPaths_[event];
        if (id == row.browseButton) {
            ChooseFile(platform_, Dialogs(), path, FileChooserHook::Without);
        } else {
            platform_.PlaySoundA(path.c_str(), 0, kPlayFileAsync);
        }
        ExchangeToControls();
        return true;
    }
    return false;
}

}  // namespace pavix
