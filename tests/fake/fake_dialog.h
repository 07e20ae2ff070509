// The stand-in's dialogs: every modal dialog run through the recording stand-in gets simulated
// controls (texts, check states, enabled states, combo rows, owner-data list views, the hotkey
// control) that answer the dialog calls as the platform's controls do, including the
// LVN_ITEMCHANGED notifications a list view sends while its selection changes. Tests queue the
// user's part for each template; a dialog whose script is used up, or that has none, is closed
// with the close box.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_api.h"
#include "platform/platform.h"

namespace pavix::fake {

struct FakeColumn {
    std::string title;
    std::int32_t width = 0;
};

// One control as the user sees it. Controls come into being when first addressed.
struct FakeControl {
    static constexpr std::size_t kDefaultTextLimit = 30000;  // an edit without EM_LIMITTEXT
    static constexpr std::int32_t kClientWidth = 300;
    static constexpr std::int32_t kClientHeight = 100;

    std::string text;
    std::size_t textLimit = kDefaultTextLimit;
    std::int32_t check = 0;
    bool enabled = true;
    std::vector<std::string> rows;  // combo box
    std::int32_t comboSelection = -1;
    std::int32_t itemCount = 0;  // owner-data list view
    std::int32_t selectedRow = -1;
    std::int32_t visibleRow = -1;  // the last row scrolled into view
    std::uint32_t extendedStyle = 0;
    std::vector<FakeColumn> columns;
    int redraws = 0;  // InvalidateRect and LVM_SETITEMCOUNT
    std::uint16_t hotkey = 0;
};

class FakeDialog {
  public:
    FakeDialog(WindowHandle handle, std::uint32_t templateId, DialogHandler* handler)
        : handle_(handle), templateId_(templateId), handler_(handler) {}

    WindowHandle Handle() const { return handle_; }
    std::uint32_t TemplateId() const { return templateId_; }
    WindowHandle ItemHandle(std::int32_t id) const {
        return handle_ + static_cast<WindowHandle>(id);
    }
    FakeControl& Control(std::int32_t id) { return controls_[id]; }
    const std::string& Text(std::int32_t id) { return Control(id).text; }
    bool Enabled(std::int32_t id) { return Control(id).enabled; }
    std::int32_t Check(std::int32_t id) { return Control(id).check; }
    std::int32_t SelectedRow(std::int32_t id) { return Control(id).selectedRow; }
    std::int32_t ItemCount(std::int32_t id) { return Control(id).itemCount; }

    // --- The user's part -------------------------------------------------------------------------
    // Each is refused (false, nothing sent) when the control is disabled, as for a real user.
    bool Click(std::int32_t id);
    bool ClickCheckBox(std::int32_t id);
    // Checks `id`, clears the other buttons of its group, then reports the click.
    bool ClickRadio(std::int32_t id, std::initializer_list<std::int32_t> group);
    // Replaces the whole text, cut to the edit's limit.
    bool Type(std::int32_t id, const std::string& text);
    bool ChooseRow(std::int32_t comboId, std::int32_t row);
    // A click on a row of a list view (-1: on no row).
    bool SelectRow(std::int32_t listId, std::int32_t row);
    // The user presses a combination in the hotkey control.
    void PressHotkey(std::uint16_t value) { Control(kHotkeyControlId).hotkey = value; }
    // The close box or Escape.
    void Close() { Command(kIdCancelCommand, kBnClicked); }
    // A WM_COMMAND whatever the control's state, as a message sent by another program.
    void Command(std::int32_t id, std::uint16_t code = kBnClicked);
    // What a list view shows in a cell: the text its handler hands over for a buffer of
    // `bufferSize` bytes.
    std::string RowText(std::int32_t listId, std::int32_t row, std::int32_t column = 0,
                        std::int32_t bufferSize = 260);

    // --- What the dialog did ---------------------------------------------------------------------
    bool initialFocusByPlatform = false;  // WM_INITDIALOG returned nonzero
    std::int32_t focus = 0;               // control id given the focus last, 0 for none
    bool ended = false;
    std::intptr_t result = 0;
    std::map<std::uintptr_t, IconHandle> icons;  // WM_SETICON by ICON_BIG / ICON_SMALL

    // --- The platform's side (called by the stand-in's dialog calls) -----------------------------
    std::intptr_t Send(std::int32_t id, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);
    std::intptr_t SendToDialog(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // A key pressed while the list view `listId` has the focus (LVN_KEYDOWN).
    void PressKeyInList(std::int32_t listId, std::uint16_t virtualKey);
    // Types into an edit: replaces its text and reports the change (EN_CHANGE).
    bool TypeAndReport(std::int32_t id, const std::string& text);
    std::intptr_t Deliver(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        return handler_->DialogProc(handle_, message, wParam, lParam);
    }

  private:
    static constexpr std::int32_t kHotkeyControlId = 1026;
    static constexpr std::int32_t kIdCancelCommand = 2;

    std::intptr_t SendToList(FakeControl& list, std::int32_t id, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t SendToOther(FakeControl& control, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam);
    // Changes the selection of a single-selection list view as the platform's does: the old row
    // loses it first, then the new row gains it, each change reported with LVN_ITEMCHANGED.
    void MoveSelection(std::int32_t id, std::int32_t row);
    void NotifyStateChange(std::int32_t id, std::int32_t row, std::uint32_t oldState,
                           std::uint32_t newState);
    void DeleteRow(std::int32_t id, std::int32_t row);

    WindowHandle handle_;
    std::uint32_t templateId_;
    DialogHandler* handler_;
    std::map<std::int32_t, FakeControl> controls_;
};

// All dialogs the stand-in has run, the open ones among them, and the user's scripts.
class FakeDialogs {
  public:
    using Script = std::function<void(FakeDialog&)>;

    // Queues what the user does in the next dialog of a template, after it has opened.
    void Expect(std::uint32_t templateId, Script script) {
        scripts_[templateId].push_back(std::move(script));
    }
    // Destroys the windows made inside a dialog once the dialog has heard of its own end.
    std::function<void(WindowHandle)> destroyChildren;
    // What the next open-file dialog returns: a path, or nothing for Cancel.
    std::optional<std::string> fileChoice;

    // Runs a dialog modally; `activeWindow` is the dialog while it is open.
    std::intptr_t Run(std::uint32_t templateId, DialogHandler* handler, WindowHandle& activeWindow);
    // Opens a dialog without a modal loop, which becomes the active window and stays open until
    // Destroy; the script queued for its template runs once it has been initialised.
    WindowHandle Create(std::uint32_t templateId, DialogHandler* handler,
                        WindowHandle& activeWindow);
    bool Destroy(WindowHandle dialog, WindowHandle& activeWindow);
    // The dialog or control with this handle, if its dialog is open.
    FakeDialog* Find(WindowHandle window);
    std::int32_t ControlId(WindowHandle window) const {
        return static_cast<std::int32_t>(window & kControlMask);
    }
    bool IsDialog(WindowHandle window) const { return ControlId(window) == 0; }
    // The most recent dialog of a template, open or closed; nullptr if there was none.
    FakeDialog* Last(std::uint32_t templateId);
    int RunCount(std::uint32_t templateId) const;
    int PendingScripts() const;

  private:
    static constexpr WindowHandle kFirstDialog = 0x100000;
    static constexpr WindowHandle kControlMask = 0xFFFF;

    std::vector<std::unique_ptr<FakeDialog>> history_;
    std::vector<FakeDialog*> open_;
    std::map<std::uint32_t, std::deque<Script>> scripts_;
};

}  // namespace pavix::fake
