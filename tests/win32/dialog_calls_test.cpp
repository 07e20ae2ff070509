// Dialogs run by the backend reach their portable handlers, and the dialog group carries its
// portable records to the controls and back.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "platform/dialog_api.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {
namespace {

constexpr std::uint32_t kTestDialog = 900;
constexpr std::int32_t kEdit = 901;
constexpr std::int32_t kList = 902;
constexpr std::int32_t kCheckBox = 903;
constexpr std::int32_t kCombo = 904;
constexpr std::int32_t kHotkey = 905;

// Runs `onInit` from WM_INITDIALOG, answers each list-view row's text request with "row N",
// and records every message and item change.
class ScriptedDialog : public DialogHandler {
  public:
    explicit ScriptedDialog(std::function<void(WindowHandle)> onInit)
        : onInit_(std::move(onInit)) {}
    std::intptr_t DialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t,
                             std::intptr_t lParam) override {
        messages.push_back(message);
        if (message == kWmInitDialog) {
            initParam = lParam;
            onInit_(dialog);
            return TRUE;
        }
        if (message == kWmNotify) {
            OnNotify(*reinterpret_cast<const NotifyHeader*>(lParam));
        }
        return FALSE;
    }
    std::vector<std::uint32_t> messages;
    std::vector<ListViewNotify> changes;
    std::intptr_t initParam = 0;

  private:
    void OnNotify(const NotifyHeader& header) {
        if (header.code == kLvnItemChanged) {
            changes.push_back(reinterpret_cast<const ListViewNotify&>(header));
        }
        if (header.code == kLvnGetDispInfoA) {
            const ListViewItem& item = reinterpret_cast<const ListViewDispInfo&>(header).item;
            const std::string text = "row " + std::to_string(item.iItem);
            std::strncpy(item.pszText, text.c_str(), static_cast<std::size_t>(item.cchTextMax));
        }
    }
    std::function<void(WindowHandle)> onInit_;
};

class DialogCallsTest : public testing::Test {
  protected:
    void SetUp() override {
        platform.InitCommonControlsEx(kInitCommonControlsExSize,
                                      ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS);
    }
    std::intptr_t Run(ScriptedDialog& dialog) {
        return platform.DialogBoxParamA(platform.GetModuleHandleA(nullptr), kTestDialog, 0, &dialog,
                                        0);
    }
    Win32Platform platform;
};

TEST_F(DialogCallsTest, HandlerRunsFromInitDialogWithItsOwnAddressUntilItEndsTheDialog) {
    ScriptedDialog dialog([&](WindowHandle window) {
        EXPECT_NE(platform.GetDlgItem(window, kEdit), 0u);
        EXPECT_TRUE(platform.EndDialog(window, 42));
    });
    EXPECT_EQ(Run(dialog), 42);
    ASSERT_FALSE(dialog.messages.empty());
    EXPECT_EQ(dialog.messages.front(), kWmInitDialog);
    EXPECT_EQ(dialog.initParam, reinterpret_cast<std::intptr_t>(&dialog));
}

TEST_F(DialogCallsTest, MissingTemplateFailsWithoutReachingTheHandler) {
    ScriptedDialog dialog([](WindowHandle) {});
    EXPECT_EQ(platform.DialogBoxParamA(platform.GetModuleHandleA(nullptr), 999, 0, &dialog, 0), -1);
    EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(DialogCallsTest, TextsAndNumbersRoundTripThroughAnEdit) {
    ScriptedDialog dialog([&](WindowHandle window) {
        bool translated = false;
        EXPECT_TRUE(platform.SetDlgItemInt(window, kEdit, static_cast<std::uint32_t>(-42), true));
        EXPECT_EQ(platform.GetDlgItemInt(window, kEdit, &translated, true),
                  static_cast<std::uint32_t>(-42));
        EXPECT_TRUE(translated);
        EXPECT_TRUE(platform.SetDlgItemTextA(window, kEdit, "x12"));
        EXPECT_EQ(platform.GetDlgItemInt(window, kEdit, &translated, false), 0u);
        EXPECT_FALSE(translated);
        const WindowHandle edit = platform.GetDlgItem(window, kEdit);
        char text[8] = {};
        EXPECT_EQ(platform.GetWindowTextLengthA(edit), 3);
        EXPECT_EQ(platform.GetWindowTextA(edit, text, sizeof(text)), 3);
        EXPECT_STREQ(text, "x12");
        EXPECT_FALSE(platform.EnableWindow(edit, false));  // it was enabled
        EXPECT_FALSE(::IsWindowEnabled(win32::Window(edit)));
        platform.EndDialog(window, 1);
    });
    EXPECT_EQ(Run(dialog), 1);
}

TEST_F(DialogCallsTest, CheckBoxComboAndHotkeyControlKeepWhatTheyAreGiven) {
    ScriptedDialog dialog([&](WindowHandle window) {
        const auto send = [&](std::int32_t id, std::uint32_t message, std::uintptr_t wParam = 0,
                              std::intptr_t lParam = 0) {
            return platform.SendDlgItemMessageA(window, id, message, wParam, lParam);
        };
        send(kCheckBox, kBmSetCheck, kBstChecked);
        EXPECT_EQ(send(kCheckBox, kBmGetCheck), static_cast<std::intptr_t>(kBstChecked));
        EXPECT_EQ(send(kCombo, kCbGetCurSel), kCbErr);
        for (const char* row : {"Do nothing", "Lock System"}) {
            send(kCombo, kCbAddString, 0, reinterpret_cast<std::intptr_t>(row));
        }
        send(kCombo, kCbSetCurSel, 1);
        EXPECT_EQ(send(kCombo, kCbGetCurSel), 1);
        char text[16] = {};
        platform.GetWindowTextA(platform.GetDlgItem(window, kCombo), text, sizeof(text));
        EXPECT_STREQ(text, "Lock System");
        const std::uintptr_t chord = (kHotkeyfControl | kHotkeyfAlt) << 8 | 'P';
        send(kHotkey, kHkmSetHotkey, chord);
        EXPECT_EQ(send(kHotkey, kHkmGetHotkey), static_cast<std::intptr_t>(chord));
        platform.EndDialog(window, 1);
    });
    EXPECT_EQ(Run(dialog), 1);
}

TEST_F(DialogCallsTest, ListViewRecordsTravelBothWays) {
    ScriptedDialog dialog([&](WindowHandle window) {
        const ListViewColumn column{kLvcfWidth | kLvcfText, 80, "Keys"};
        EXPECT_EQ(platform.SendDlgItemMessageA(window, kList, kLvmInsertColumnA, 0,
                                               reinterpret_cast<std::intptr_t>(&column)),
                  0);
        platform.SendDlgItemMessageA(window, kList, kLvmSetItemCount, 3, 0);
        ListViewItem select;
        select.state = kLvisSelected;
        select.stateMask = kLvisSelected;
        const WindowHandle list = platform.GetDlgItem(window, kList);
        platform.SendMessageA(list, kLvmSetItemState, 2, reinterpret_cast<std::intptr_t>(&select));
        EXPECT_EQ(platform.SendDlgItemMessageA(window, kList, kLvmGetNextItem,
                                               static_cast<std::uintptr_t>(-1), kLvniSelected),
                  2);
        char text[16] = {};
        LVITEMA request{};
        request.pszText = text;
        request.cchTextMax = sizeof(text);
        EXPECT_EQ(platform.SendDlgItemMessageA(window, kList, LVM_GETITEMTEXTA, 1,
                                               reinterpret_cast<std::intptr_t>(&request)),
                  5);
        EXPECT_STREQ(text, "row 1");
        char title[16] = {};
        LVCOLUMNA header{};
        header.mask = LVCF_TEXT | LVCF_WIDTH;
        header.pszText = title;
        header.cchTextMax = sizeof(title);
        platform.SendDlgItemMessageA(window, kList, LVM_GETCOLUMNA, 0,
                                     reinterpret_cast<std::intptr_t>(&header));
        EXPECT_STREQ(title, "Keys");
        EXPECT_EQ(header.cx, 80);
        platform.EndDialog(window, 1);
    });
    EXPECT_EQ(Run(dialog), 1);
    ASSERT_FALSE(dialog.changes.empty());
    const ListViewNotify& change = dialog.changes.back();
    EXPECT_EQ(change.hdr.idFrom, static_cast<std::uintptr_t>(kList));
    EXPECT_EQ(change.iItem, 2);
    EXPECT_EQ(change.uNewState & kLvisSelected, kLvisSelected);
    EXPECT_EQ(change.uChanged, static_cast<std::uint32_t>(LVIF_STATE));
}

TEST_F(DialogCallsTest, ClientRectComesBackInPortableForm) {
    ScriptedDialog dialog([&](WindowHandle window) {
        Rect client;
        const WindowHandle list = platform.GetDlgItem(window, kList);
        ASSERT_TRUE(platform.GetClientRect(list, &client));
        RECT native{};
        ::GetClientRect(win32::Window(list), &native);
        EXPECT_EQ(client.right, native.right);
        EXPECT_EQ(client.bottom, native.bottom);
        EXPECT_GT(client.right, 0);
        EXPECT_TRUE(platform.InvalidateRect(list, &client, true));
        EXPECT_TRUE(platform.InvalidateRect(list, nullptr, false));
        platform.EndDialog(window, 1);
    });
    EXPECT_EQ(Run(dialog), 1);
}

}  // namespace
}  // namespace pavix
