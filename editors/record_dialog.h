// The box in which the user types a whole sequence: every chord pressed while it records appears
// at once as a row. Any chord records, Enter, Escape, Tab and Backspace included, so recording
// ends by itself after a pause without a key; from then on the dialog's own keys work again
// (Enter for OK, Escape for Cancel), and going back into the recording box records more.
#pragma once

#include <cstdint>
#include <vector>

#include "editors/modal_dialog.h"
#include "model/key_chord.h"
#include "resources/ids.h"

namespace pavix {

class RecordDialog : public ModalDialog, public ids::RecordDialogIds {
  public:
    static constexpr const char* kRecorderClass = "PavixKeyRecorder";
    static constexpr std::uintptr_t kPauseTimerId = 1;
    static constexpr std::uint32_t kPauseMs = 2000;

    RecordDialog(Platform& platform, DialogStack& dialogs)
        : ModalDialog(platform, dialogs), recorder_(*this) {}

    // 1 (OK) or 2 (Cancel).
    std::intptr_t Run() { return RunModal(kTemplateId); }
    const std::vector<KeyChord>& Chords() const { return chords_; }
    // Whether the chords go after the sequence's keys rather than in their place.
    bool Append() const { return append_; }

  protected:
    bool OnInitDialog() override;
    bool OnCommand(std::int32_t id, std::uint16_t code) override;
    bool OnNotify(const NotifyHeader& header) override;
    void OnDestroy() override;

  private:
    // The recording box: a control of its own that asks the dialog manager for every key, so
    // that no key is taken for the dialog's navigation while it records.
    class Recorder final : public WindowHandler {
      public:
        explicit Recorder(RecordDialog& dialog) : dialog_(dialog) {}
        std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) override {
            return dialog_.OnRecorderMessage(window, message, wParam, lParam);
        }

      private:
        RecordDialog& dialog_;
    };

    std::intptr_t OnRecorderMessage(WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam);
    // Puts the recording box where the template keeps its place.
    void CreateRecorder();
    void OnKeyDown(std::uint16_t virtualKey, std::intptr_t lParam);
    void StartRecording();
    // The pause is over: the focus leaves the box for the rows (or Cancel when there are none).
    void OnPause();
    void StopRecording();
    void ShowState();

    Recorder recorder_;
    WindowHandle recorderWindow_ = 0;
    WindowHandle promptLabel_ = 0;
    std::vector<KeyChord> chords_;
    bool recording_ = false;
    bool append_ = false;
};

}  // namespace pavix
