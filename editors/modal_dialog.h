// The common ground of the editors: a modal dialog's behaviour that receives the messages the
// platform forwards, sorts them into initialisation, commands and notifications, and talks to
// the dialog's controls by id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "editors/dialog_stack.h"
#include "platform/dialog_api.h"
#include "platform/platform.h"

namespace pavix {

class ModalDialog : public DialogHandler {
  public:
    // A dialog run modally inside `dialogs`, with every dialog it runs itself.
    ModalDialog(Platform& platform, DialogStack& dialogs)
        : platform_(platform), dialogs_(&dialogs) {}
    // A dialog shown without a modal loop, which runs none.
    explicit ModalDialog(Platform& platform) : platform_(platform) {}

    std::intptr_t DialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) final;

  protected:
    // Returns true to let the platform give the focus to the first control that takes it.
    virtual bool OnInitDialog() = 0;
    // Returns whether the command was handled.
    virtual bool OnCommand(std::int32_t id, std::uint16_t code) = 0;
    virtual bool OnNotify(const NotifyHeader&) { return false; }
    virtual void OnDestroy() {}

    // Runs this dialog from `templateId` in its stack, owned by the window that is active now;
    // -1 for a dialog that has no stack.
    std::intptr_t RunModal(std::uint32_t templateId);
    // Where the dialogs that this one runs go.
    DialogStack& Dialogs() { return *dialogs_; }

    WindowHandle Window() const { return window_; }
    WindowHandle Item(std::int32_t id) { return platform_.GetDlgItem(window_, id); }
    std::intptr_t SendItem(std::int32_t id, std::uint32_t message, std::uintptr_t wParam = 0,
                           std::intptr_t lParam = 0) {
        return platform_.SendDlgItemMessageA(window_, id, message, wParam, lParam);
    }

    bool SetText(std::int32_t id, const std::string& text) {
        return platform_.SetDlgItemTextA(window_, id, text.c_str());
    }
    // Reads the whole text of a control. When the platform hands over none of a non-empty text,
    // beeps, gives the control the focus and returns false, leaving `text` as it was.
    bool ReadText(std::int32_t id, std::string* text);
    // A failed transfer: the simple beep and the focus on the control concerned.
    void Complain(std::int32_t id);

    std::int32_t Checked(std::int32_t id) {
        return SendItem(id, kBmGetCheck) == static_cast<std::intptr_t>(kBstChecked) ? 1 : 0;
    }
    void SetChecked(std::int32_t id, std::int32_t state) {
        SendItem(id, kBmSetCheck, static_cast<std::uintptr_t>(state));
    }
    void Enable(std::int32_t id, bool enable) { platform_.EnableWindow(Item(id), enable); }
    void AddComboRow(std::int32_t id, const std::string& text) {
        SendItem(id, kCbAddString, 0, reinterpret_cast<std::intptr_t>(text.c_str()));
    }
    // The selected row, or -1 (CB_ERR) when none is.
    std::intptr_t ComboSelection(std::int32_t id) { return SendItem(id, kCbGetCurSel); }
    void SelectComboRow(std::int32_t id, std::int32_t row) {
        SendItem(id, kCbSetCurSel, static_cast<std::uintptr_t>(row));
    }
    void End(std::intptr_t result) { platform_.EndDialog(window_, result); }

    // List views that hold row counts only and ask for each cell's text.
    void AddColumn(std::int32_t list, std::int32_t index, const std::string& title,
                   std::int32_t width);
    void SetRowCount(std::int32_t list, std::size_t count) {
        SendItem(list, kLvmSetItemCount, count);
    }
    // The selected row, or -1.
    std::int32_t SelectedRow(std::int32_t list);
    // Scrolls the row into view and selects it, which the list reports as an item change.
    void ShowAndSelect(std::int32_t list, std::size_t row);
    void Redraw(std::int32_t list) { platform_.InvalidateRect(Item(list), nullptr, true); }
    // Hands a cell's text to the list, cut to its buffer.
    static void CopyCellText(const ListViewItem& item, const std::string& text);

    Platform& platform_;

  private:
    DialogStack* dialogs_ = nullptr;
    WindowHandle window_ = 0;
};

// LOWORD and HIWORD of a WM_COMMAND's wParam.
constexpr std::int32_t CommandId(std::uintptr_t wParam) {
    return static_cast<std::int32_t>(wParam & 0xFFFF);
}
constexpr std::uint16_t CommandCode(std::uintptr_t wParam) {
    return static_cast<std::uint16_t>((wParam >> 16) & 0xFFFF);
}

}  // namespace pavix
