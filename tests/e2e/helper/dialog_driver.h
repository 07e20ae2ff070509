// Drives Pavix's dialogs from this process the way a user does: finds them by title, reads and
// sets their controls, clicks enabled buttons, and reads and selects rows of their owner-data
// list views through a buffer in Pavix's own memory. Every wait is a poll capped at kWaitCapMs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "verdict.h"

namespace pavix_e2e {

// Top-level dialogs (#32770) of the process that are not message boxes, shown or not yet.
std::vector<HWND> FindDialogs(DWORD processId);
// The shown top-level dialog of the process with exactly this title, or null.
HWND FindDialog(DWORD processId, const std::wstring& title);
std::wstring WindowTitle(HWND window);

// For ExpectListRows: any row, or none, may be selected.
constexpr int kAnyRow = -2;

// One dialog of the Pavix process. Reads and changes go through the dialog's own controls, so
// they reach the program exactly as a user's would.
class Dialog {
  public:
    Dialog() = default;

    // Waits until the process shows a dialog with this title. A modal dialog is shown once its
    // initialisation is over, so its controls then hold what the program put there.
    Verdict WaitForOpen(HANDLE process, DWORD processId, const std::wstring& title);

    HWND Window() const { return window_; }
    std::string Name() const;  // the title in UTF-8, for reasons
    HWND Item(int id) const { return GetDlgItem(window_, id); }

    std::wstring Text(int id) const;
    bool SetText(int id, const std::wstring& text) const;
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    // The control that has the keyboard focus in the dialog's thread.
    HWND Focus() const;

    // Clicks an enabled button and returns once its handler has run.
    Verdict Click(int id) const;
    // Clicks an enabled button whose handler opens a modal window, without waiting for it.
    Verdict ClickToOpen(int id) const;
    // Clicks an enabled button that ends the dialog and waits until the dialog is gone.
    Verdict ClickToClose(int id) const;
    // Clicks an automatic check box until it shows the wanted state.
    Verdict SetCheck(int id, bool checked) const;
    // Returns once Pavix has handled everything sent to it before and waits for input again.
    bool Settle() const;

    // Combo boxes: the selected row (-1 for none), the number of rows, a row's text, and a
    // selection as a user makes it (the row, then CBN_SELCHANGE to the dialog).
    int ComboSelection(int id) const;
    int ComboCount(int id) const;
    std::wstring ComboRowText(int id, int row) const;
    bool SelectComboRow(int id, int row) const;

    // Owner-data list views: the row count, the selected row (-1 for none), the text of a cell
    // (false when it cannot be read), and a selection as a click makes it.
    int ListCount(int id) const;
    int ListSelection(int id) const;
    bool ListText(int id, int row, int column, std::wstring* text) const;
    bool SelectListRow(int id, int row) const;

    // The hotkey control's word: key code in the low byte, HOTKEYF_ flags in the high byte.
    WORD Hotkey(int id) const;
    bool SetHotkey(int id, WORD value) const;

    // Checks that control id shows exactly `expected`.
    Verdict ExpectText(int id, const std::wstring& expected) const;
    Verdict ExpectChecked(int id, bool checked) const;
    // Waits until the list view holds exactly these rows, each given as its column texts, and
    // checks that the selected row is `selected` (-1: none; kAnyRow: not checked).
    Verdict ExpectListRows(int id, const std::vector<std::vector<std::wstring>>& rows,
                           int selected) const;

  private:
    Verdict CheckButton(int id) const;

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
    std::wstring title_;
};

struct NamedControl {
    int id;
    const char* name;
};

// Waits until exactly the controls listed in `enabled` are enabled among `controls` (the others
// disabled), and names every control that differs when the cap passes.
Verdict ExpectOnlyEnabled(const Dialog& dialog, const std::vector<NamedControl>& controls,
                          const std::vector<int>& enabled, const std::string& when);

}  // namespace pavix_e2e
