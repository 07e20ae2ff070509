#include "dialog_driver.h"

#include <commctrl.h>

#include <algorithm>

#include "actions.h"
#include "key_texts.h"

namespace pavix_e2e {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
// Room for a cell's text in Pavix's memory; longer texts are cut by the list view.
constexpr std::size_t kCellTextCapacity = 2048;

// A block of memory inside another process, for messages that carry pointers the target reads
// or writes (the list view's item records), released when it goes.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, std::size_t size)
        : process_(process),
          address_(static_cast<std::uint8_t*>(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }

    bool Valid() const { return address_ != nullptr; }
    std::uint8_t* Address(std::size_t offset = 0) const { return address_ + offset; }

    bool Write(std::size_t offset, const void* data, std::size_t size) const {
        SIZE_T written = 0;
        return WriteProcessMemory(process_, address_ + offset, data, size, &written) &&
               written == size;
    }
    bool Read(std::size_t offset, void* data, std::size_t size) const {
        SIZE_T read = 0;
        return ReadProcessMemory(process_, address_ + offset, data, size, &read) && read == size;
    }

  private:
    HANDLE process_;
    std::uint8_t* address_;
};

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kWaitCapMs,
                               result != nullptr ? result : &ignored) != 0;
}

LRESULT SendValue(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    return Send(window, message, wParam, lParam, &result) ? static_cast<LRESULT>(result) : -1;
}

std::string Quoted(const std::wstring& text) {
    return "\"" + Utf8(text) + "\"";
}

std::string RowsText(const std::vector<std::vector<std::wstring>>& rows) {
    std::string text = "[";
    for (const std::vector<std::wstring>& row : rows) {
        text += text.size() > 1 ? ", " : "";
        for (std::size_t column = 0; column < row.size(); ++column) {
            text += (column > 0 ? " | " : "") + Quoted(row[column]);
        }
    }
    return text + "]";
}

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 15);
    return std::wstring(name) == kDialogClass && !IsMessageBox(window);
}

}  // namespace

std::wstring WindowTitle(HWND window) {
    DWORD_PTR length = 0;
    if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) {
        return std::wstring();
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &copied)) {
        return std::wstring();
    }
    text.resize(copied);
    return text;
}

// From one snapshot of the top-level windows: a walk with FindWindowEx could miss a dialog that
// moves in the z-order meanwhile (Pavix brings its open editor to the front).
std::vector<HWND> FindDialogs(DWORD processId) {
    std::vector<HWND> dialogs;
    for (HWND window : TopLevelWindows(processId)) {
        if (IsDialog(window)) {
            dialogs.push_back(window);
        }
    }
    return dialogs;
}

// By the system's own title match (FindWindowEx with the UTF-16 title); a window that moves in
// the z-order during the walk is found by the next poll.
HWND FindDialog(DWORD processId, const std::wstring& title) {
    for (HWND window = FindWindowExW(nullptr, nullptr, kDialogClass, title.c_str());
         window != nullptr; window = FindWindowExW(nullptr, window, kDialogClass, title.c_str())) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

Verdict Dialog::WaitForOpen(HANDLE process, DWORD processId, const std::wstring& title) {
    process_ = process;
    processId_ = processId;
    title_ = title;
    window_ = nullptr;
    std::vector<HWND> boxes;
    WaitUntil([&] {
        window_ = FindDialog(processId, title);
        boxes = FindMessageBoxes(processId);
        return window_ != nullptr || !boxes.empty();
    });
    if (window_ != nullptr) {
        return Pass();
    }
    std::string reason = "the dialog " + Name() + " did not open";
    BoxText box;
    if (!boxes.empty() && ReadMessageBox(boxes.front(), &box)) {
        reason += "; instead Pavix shows the message box " + Quoted(box.caption) + " / " +
                  Quoted(box.text);
    }
    std::string others;
    for (HWND dialog : FindDialogs(processId)) {
        others += (others.empty() ? "" : ", ") + Quoted(WindowTitle(dialog));
    }
    if (!others.empty()) {
        reason += "; its dialogs: " + others;
    }
    return Fail(reason);
}

std::string Dialog::Name() const {
    return Quoted(title_);
}

std::wstring Dialog::Text(int id) const {
    HWND control = Item(id);
    return control != nullptr ? WindowTitle(control) : std::wstring();
}

bool Dialog::SetText(int id, const std::wstring& text) const {
    HWND control = Item(id);
    DWORD_PTR result = 0;
    return control != nullptr &&
           Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &result) &&
           result != 0;
}

bool Dialog::IsEnabled(int id) const {
    HWND control = Item(id);
    return control != nullptr && IsWindowEnabled(control);
}

bool Dialog::IsChecked(int id) const {
    return SendValue(Item(id), BM_GETCHECK) == BST_CHECKED;
}

HWND Dialog::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = GetWindowThreadProcessId(window_, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Wine delivers BN_CLICKED for a click on a disabled button too, so only enabled buttons are
// clicked: a disabled one stands for a button the user cannot press.
Verdict Dialog::CheckButton(int id) const {
    if (Item(id) == nullptr) {
        return Fail(Name() + " has no control " + std::to_string(id));
    }
    if (!IsEnabled(id)) {
        return Fail("button " + std::to_string(id) + " of " + Name() +
                    " is disabled where it should be pressed");
    }
    return Pass();
}

Verdict Dialog::Click(int id) const {
    if (Verdict v = CheckButton(id); !v.passed) {
        return v;
    }
    if (!Send(Item(id), BM_CLICK, 0, 0, nullptr)) {
        return Fail("button " + std::to_string(id) + " of " + Name() + " did not answer a click");
    }
    return Pass();
}

Verdict Dialog::ClickToOpen(int id) const {
    if (Verdict v = CheckButton(id); !v.passed) {
        return v;
    }
    if (!PostMessageW(Item(id), BM_CLICK, 0, 0)) {
        return Fail("cannot post a click to button " + std::to_string(id) + " of " + Name());
    }
    return Pass();
}

Verdict Dialog::ClickToClose(int id) const {
    if (Verdict v = ClickToOpen(id); !v.passed) {
        return v;
    }
    if (WaitUntil([&] { return !IsWindow(window_); })) {
        return Pass();
    }
    std::string reason = Name() + " stayed open after a click on button " + std::to_string(id);
    BoxText box;
    const std::vector<HWND> boxes = FindMessageBoxes(processId_);
    if (!boxes.empty() && ReadMessageBox(boxes.front(), &box)) {
        reason += "; Pavix shows the message box " + Quoted(box.caption) + " / " + Quoted(box.text);
    }
    return Fail(reason);
}

Verdict Dialog::SetCheck(int id, bool checked) const {
    if (IsChecked(id) != checked) {
        if (Verdict v = Click(id); !v.passed) {
            return v;
        }
    }
    if (IsChecked(id) != checked) {
        return Fail("check box " + std::to_string(id) + " of " + Name() + " did not become " +
                    (checked ? "checked" : "clear") + " on a click");
    }
    return Pass();
}

bool Dialog::Settle() const {
    return Send(window_, WM_NULL, 0, 0, nullptr);
}

int Dialog::ComboSelection(int id) const {
    return static_cast<int>(SendValue(Item(id), CB_GETCURSEL));
}

int Dialog::ComboCount(int id) const {
    return static_cast<int>(SendValue(Item(id), CB_GETCOUNT));
}

std::wstring Dialog::ComboRowText(int id, int row) const {
    const LRESULT length = SendValue(Item(id), CB_GETLBTEXTLEN, row);
    if (length < 0) {
        return std::wstring();
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendValue(Item(id), CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

bool Dialog::SelectComboRow(int id, int row) const {
    HWND combo = Item(id);
    if (SendValue(combo, CB_SETCURSEL, row) != row) {
        return false;
    }
    return Send(window_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo),
                nullptr);
}

int Dialog::ListCount(int id) const {
    return static_cast<int>(SendValue(Item(id), LVM_GETITEMCOUNT));
}

int Dialog::ListSelection(int id) const {
    return static_cast<int>(
        SendValue(Item(id), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The item record and the text buffer it points to both live in Pavix's memory: the list view
// asks Pavix's dialog for the text and copies it there.
bool Dialog::ListText(int id, int row, int column, std::wstring* text) const {
    RemoteBuffer buffer(process_, sizeof(LVITEMA) + kCellTextCapacity);
    if (!buffer.Valid()) {
        return false;
    }
    LVITEMA item{};
    item.iSubItem = column;
    item.cchTextMax = static_cast<int>(kCellTextCapacity);
    item.pszText = reinterpret_cast<char*>(buffer.Address(sizeof(LVITEMA)));
    const std::string cleared(kCellTextCapacity, '\0');
    if (!buffer.Write(0, &item, sizeof(item)) ||
        !buffer.Write(sizeof(LVITEMA), cleared.data(), cleared.size())) {
        return false;
    }
    if (!Send(Item(id), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(buffer.Address()),
              nullptr)) {
        return false;
    }
    std::string bytes(kCellTextCapacity, '\0');
    if (!buffer.Read(sizeof(LVITEMA), &bytes[0], bytes.size())) {
        return false;
    }
    bytes.resize(bytes.find('\0') != std::string::npos ? bytes.find('\0') : bytes.size());
    *text = FromAnsi(bytes);
    return true;
}

bool Dialog::SelectListRow(int id, int row) const {
    RemoteBuffer buffer(process_, sizeof(LVITEMA));
    LVITEMA item{};
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    DWORD_PTR result = 0;
    return buffer.Valid() && buffer.Write(0, &item, sizeof(item)) &&
           Send(Item(id), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(buffer.Address()),
                &result) &&
           result != 0;
}

WORD Dialog::Hotkey(int id) const {
    return static_cast<WORD>(SendValue(Item(id), HKM_GETHOTKEY));
}

bool Dialog::SetHotkey(int id, WORD value) const {
    return Send(Item(id), HKM_SETHOTKEY, value, 0, nullptr);
}

Verdict Dialog::ExpectText(int id, const std::wstring& expected) const {
    const std::wstring seen = Text(id);
    if (seen != expected) {
        return Fail("control " + std::to_string(id) + " of " + Name() + " shows " + Quoted(seen) +
                    ", expected " + Quoted(expected));
    }
    return Pass();
}

Verdict Dialog::ExpectChecked(int id, bool checked) const {
    if (IsChecked(id) != checked) {
        return Fail("check box " + std::to_string(id) + " of " + Name() + " is " +
                    (checked ? "clear" : "checked") + ", expected " +
                    (checked ? "checked" : "clear"));
    }
    return Pass();
}

Verdict Dialog::ExpectListRows(int id, const std::vector<std::vector<std::wstring>>& rows,
                               int selected) const {
    std::vector<std::vector<std::wstring>> seen;
    auto read = [&] {
        seen.clear();
        const int count = ListCount(id);
        for (int row = 0; row < count; ++row) {
            std::vector<std::wstring> cells;
            const std::size_t columns = row < static_cast<int>(rows.size()) ? rows[row].size() : 1;
            for (std::size_t column = 0; column < columns; ++column) {
                std::wstring cell;
                if (!ListText(id, row, static_cast<int>(column), &cell)) {
                    cell = L"<unreadable>";
                }
                cells.push_back(cell);
            }
            seen.push_back(cells);
        }
        return seen == rows && (selected == kAnyRow || ListSelection(id) == selected);
    };
    if (WaitUntil(read)) {
        return Pass();
    }
    if (seen != rows) {
        return Fail("list " + std::to_string(id) + " of " + Name() + " shows " + RowsText(seen) +
                    ", expected " + RowsText(rows));
    }
    return Fail("list " + std::to_string(id) + " of " + Name() + " has row " +
                std::to_string(ListSelection(id)) + " selected, expected " +
                (selected < 0 ? std::string("none") : "row " + std::to_string(selected)));
}

Verdict ExpectOnlyEnabled(const Dialog& dialog, const std::vector<NamedControl>& controls,
                          const std::vector<int>& enabled, const std::string& when) {
    auto wanted = [&](int id) {
        return std::find(enabled.begin(), enabled.end(), id) != enabled.end();
    };
    std::string wrong;
    const bool matched = WaitUntil([&] {
        wrong.clear();
        for (const NamedControl& control : controls) {
            const bool isEnabled = dialog.IsEnabled(control.id);
            if (isEnabled != wanted(control.id)) {
                wrong += std::string(wrong.empty() ? "" : ", ") + control.name + " (" +
                         std::to_string(control.id) + ") " + (isEnabled ? "enabled" : "disabled");
            }
        }
        return wrong.empty();
    });
    if (!matched) {
        return Fail(when + ": in " + dialog.Name() + " " + wrong);
    }
    return Pass();
}

}  // namespace pavix_e2e
