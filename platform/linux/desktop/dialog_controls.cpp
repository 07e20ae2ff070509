// Each kind of control of the dialog host: its widget, the messages it answers and the
// notifications it sends.
#include <gdk/gdkkeysyms.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/constants.h"
#include "platform/linux/desktop/dialog_parts.h"
#include "platform/linux/desktop/row_count_model.h"

namespace pavix {
namespace {

using Control = GtkDialogHost::Control;

constexpr std::int32_t kItemTextSize = 260;  // the buffer a list offers for an item's text
// A list whose count changes by more rows at once gets a new model (ReplaceStore).
constexpr std::int32_t kRowsOneByOne = 256;

// The dialog's own changes to a control do not notify it, as on the platform.
class Quiet {
  public:
    explicit Quiet(Control& control) : dialog_(*control.dialog) { ++dialog_.quiet; }
    ~Quiet() { --dialog_.quiet; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

  private:
    GtkDialogHost::Dialog& dialog_;
};

std::int32_t RowCount(const Control& control) {
    return RowCountModelSize(control.rows);
}

std::int32_t FirstSelected(const Control& control, std::int32_t after) {
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(control.widget));
    const std::int32_t count = RowCount(control);
    for (std::int32_t row = after + 1; row < count; ++row) {
        GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
        const bool selected = gtk_tree_selection_path_is_selected(selection, path) != FALSE;
        gtk_tree_path_free(path);
        if (selected) {
            return row;
        }
    }
    return -1;
}

void OnItemChanged(GtkTreeSelection*, gpointer data) {
    auto& control = *static_cast<Control*>(data);
    if (control.dialog->closing) {
        return;
    }
    ListViewNotify notify;
    notify.hdr = NotifyHeader{control.handle, static_cast<std::uintptr_t>(control.layout.id),
                              kLvnItemChanged};
    notify.iItem = FirstSelected(control, -1);
    notify.uNewState = notify.iItem >= 0 ? kLvisSelected : 0;
    notify.uChanged = kLvifState;
    control.dialog->handler->DialogProc(control.dialog->handle, kWmNotify,
                                        static_cast<std::uintptr_t>(control.layout.id),
                                        reinterpret_cast<std::intptr_t>(&notify));
}

// The texts of an owner-data list come from the dialog, row by row, as they are drawn.
void CellText(GtkTreeViewColumn* column, GtkCellRenderer* renderer, GtkTreeModel* model,
              GtkTreeIter* iter, gpointer data) {
    auto& control = *static_cast<Control*>(data);
    if (control.dialog->closing) {
        return;
    }
    GtkTreePath* path = gtk_tree_model_get_path(model, iter);
    char text[kItemTextSize] = {};
    ListViewDispInfo info;
    info.hdr = NotifyHeader{control.handle, static_cast<std::uintptr_t>(control.layout.id),
                            kLvnGetDispInfoA};
    info.item.mask = kLvifText;
    info.item.iItem = gtk_tree_path_get_indices(path)[0];
    info.item.iSubItem = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(column), "pavix-subitem"));
    info.item.pszText = text;
    info.item.cchTextMax = kItemTextSize;
    gtk_tree_path_free(path);
    control.dialog->handler->DialogProc(control.dialog->handle, kWmNotify,
                                        static_cast<std::uintptr_t>(control.layout.id),
                                        reinterpret_cast<std::intptr_t>(&info));
    text[kItemTextSize - 1] = '\0';
    g_object_set(renderer, "text", text, nullptr);
}

// Rows `from` to `to` (not included) tell the list's watchers that their texts may have changed:
// assistive technology keeps each cell's text it has read until its row says so.
void TellRowsChanged(Control& control, std::int32_t from, std::int32_t to) {
    GtkTreeModel* model = control.rows;
    GtkTreeIter iter;
    bool valid = from >= 0 && gtk_tree_model_iter_nth_child(model, &iter, nullptr, from) != FALSE;
    for (std::int32_t row = from; valid && row < to; ++row) {
        GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
        gtk_tree_model_row_changed(model, path, &iter);
        gtk_tree_path_free(path);
        valid = gtk_tree_model_iter_next(model, &iter) != FALSE;
    }
}

std::int32_t SelectedRow(GtkTreeSelection* selection) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!gtk_tree_selection_get_selected(selection, &model, &iter)) {
        return -1;
    }
    GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
    const std::int32_t row = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    return row;
}

// A new model of `count` rows, which the view (and the accessibility bridge) reads afresh
// instead of hearing of each row: a selected row that remains stays selected, one that goes is
// reported as the view reports it. The view then shows its first rows.
void ReplaceStore(Control& control, std::int32_t count) {
    GtkTreeView* view = GTK_TREE_VIEW(control.widget);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
    const std::int32_t selected = SelectedRow(selection);
    const auto notify = reinterpret_cast<gpointer>(&OnItemChanged);
    g_signal_handlers_block_by_func(selection, notify, &control);
    control.rows = NewRowCountModel(count);
    gtk_tree_view_set_model(view, control.rows);
    g_object_unref(control.rows);  // the view holds it, as it held the one it lets go
    if (selected >= 0 && selected < count) {
        GtkTreePath* path = gtk_tree_path_new_from_indices(selected, -1);
        gtk_tree_selection_select_path(selection, path);
        gtk_tree_path_free(path);
    }
    g_signal_handlers_unblock_by_func(selection, notify, &control);
    if (selected >= count) {
        OnItemChanged(selection, &control);
    }
}

// The rows on the screen tell the bridge that their texts may have changed. Once a long list's
// texts changed, the rows that scroll into view do so too, which keeps what the bridge reads of
// them as the screen shows them without a signal for each of the list's rows.
void TellVisibleRowsChanged(Control& control) {
    GtkTreePath* first = nullptr;
    GtkTreePath* last = nullptr;
    if (gtk_tree_view_get_visible_range(GTK_TREE_VIEW(control.widget), &first, &last)) {
        TellRowsChanged(control, gtk_tree_path_get_indices(first)[0],
                        gtk_tree_path_get_indices(last)[0] + 1);
        gtk_tree_path_free(first);
        gtk_tree_path_free(last);
    }
}

void OnListScrolled(GtkAdjustment*, gpointer data) {
    TellVisibleRowsChanged(*static_cast<Control*>(data));
}

// Every row of a short list, the rows on the screen of a long one.
void TellTextsChanged(Control& control) {
    const std::int32_t count = RowCount(control);
    if (count <= kRowsOneByOne) {
        TellRowsChanged(control, 0, count);
    } else {
        TellVisibleRowsChanged(control);
    }
}

// As on the platform, a new count redraws every row of the owner-data list. A count that
// changes by a few hundred rows at most keeps the model, whose rows then tell the bridge that
// they may read otherwise (TellTextsChanged); a larger change makes a new model, which the
// bridge reads afresh.
void SetRowCount(Control& control, std::int32_t count) {
    const std::int32_t kept = RowCount(control);
    if (std::abs(kept - count) <= kRowsOneByOne) {
        ResizeRowCountModel(control.rows, count);
        TellTextsChanged(control);
    } else {
        ReplaceStore(control, count);
    }
    gtk_widget_queue_draw(control.widget);
}

void AddColumn(Control& control, std::uintptr_t index, const ListViewColumn& column) {
    GtkCellRenderer* renderer = gtk_cell_renderer_text_new();
    g_object_set(renderer, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
    GtkTreeViewColumn* added = gtk_tree_view_column_new();
    gtk_tree_view_column_set_title(added, column.pszText != nullptr ? column.pszText : "");
    gtk_tree_view_column_pack_start(added, renderer, TRUE);
    gtk_tree_view_column_set_cell_data_func(added, renderer, CellText, &control, nullptr);
    gtk_tree_view_column_set_sizing(added, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_column_set_fixed_width(added, std::max<std::int32_t>(column.cx, 1));
    gtk_tree_view_column_set_resizable(added, TRUE);
    g_object_set_data(G_OBJECT(added), "pavix-subitem",
                      GINT_TO_POINTER(gtk_tree_view_get_n_columns(GTK_TREE_VIEW(control.widget))));
    gtk_tree_view_insert_column(GTK_TREE_VIEW(control.widget), added, static_cast<gint>(index));
}

void SetItemState(Control& control, std::intptr_t row, const ListViewItem& item) {
    if ((item.stateMask & kLvisSelected) == 0) {
        return;
    }
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(control.widget));
    const bool select = (item.state & kLvisSelected) != 0;
    if (row < 0 || row >= RowCount(control)) {
        if (row == -1 && !select) {
            gtk_tree_selection_unselect_all(selection);
        }
        return;
    }
    // As on the platform, the rows whose state changes are drawn again.
    const std::int32_t selected = FirstSelected(control, -1);
    GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<gint>(row), -1);
    if (select) {
        gtk_tree_view_set_cursor(GTK_TREE_VIEW(control.widget), path, nullptr, FALSE);
        gtk_tree_selection_select_path(selection, path);
    } else {
        gtk_tree_selection_unselect_path(selection, path);
    }
    gtk_tree_path_free(path);
    TellRowsChanged(control, static_cast<std::int32_t>(row), static_cast<std::int32_t>(row) + 1);
    if (selected >= 0 && selected != row) {
        TellRowsChanged(control, selected, selected + 1);
    }
}

std::intptr_t SendToList(Control& control, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
    const auto row = static_cast<std::intptr_t>(wParam);
    switch (message) {
        case kLvmGetItemCount:
            return RowCount(control);
        case kLvmSetItemCount:
            SetRowCount(control, static_cast<std::int32_t>(wParam));
            return 1;
        case kLvmDeleteItem: {
            if (row < 0 || row >= RowCount(control)) {
                return 0;
            }
            RemoveRowCountModelRow(control.rows, static_cast<gint>(row));
            return 1;
        }
        case kLvmGetNextItem:
            return (lParam & kLvniSelected) != 0
                       ? FirstSelected(control, static_cast<std::int32_t>(row))
                       : -1;
        case kLvmEnsureVisible: {
            if (row < 0 || row >= RowCount(control)) {
                return 0;
            }
            GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<gint>(row), -1);
            gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(control.widget), path, nullptr, FALSE, 0, 0);
            gtk_tree_path_free(path);
            return 1;
        }
        case kLvmInsertColumnA:
            AddColumn(control, wParam, *reinterpret_cast<const ListViewColumn*>(lParam));
            return static_cast<std::intptr_t>(wParam);
        case kLvmSetItemState:
            SetItemState(control, row, *reinterpret_cast<const ListViewItem*>(lParam));
            return 1;
        case kLvmSetExtendedListViewStyle: {
            const std::uint32_t previous = control.extendedStyle;
            const auto mask = wParam != 0 ? static_cast<std::uint32_t>(wParam) : 0xFFFFFFFFu;
            control.extendedStyle =
                (previous & ~mask) | (static_cast<std::uint32_t>(lParam) & mask);
            return previous;
        }
        case kLvmGetExtendedListViewStyle:
            return control.extendedStyle;
        default:
            return 0;
    }
}

std::int32_t ComboCount(const Control& control) {
    return gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(control.widget)),
                                          nullptr);
}

std::intptr_t SendToCombo(Control& control, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    switch (message) {
        case kCbAddString:
            gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(control.widget),
                                           reinterpret_cast<const char*>(lParam));
            return ComboCount(control) - 1;
        case kCbGetCurSel: {
            const gint active = gtk_combo_box_get_active(GTK_COMBO_BOX(control.widget));
            return active >= 0 ? active : kCbErr;
        }
        case kCbSetCurSel: {
            const bool valid = wParam < static_cast<std::uintptr_t>(ComboCount(control));
            gtk_combo_box_set_active(GTK_COMBO_BOX(control.widget),
                                     valid ? static_cast<gint>(wParam) : -1);
            return valid ? static_cast<std::intptr_t>(wParam) : kCbErr;
        }
        default:
            return 0;
    }
}

void ShowChord(Control& control) {
    gtk_entry_set_text(GTK_ENTRY(control.widget), control.capture->Text().c_str());
}

}  // namespace

KeyboardMap KeyboardOfDisplay() {
    constexpr int kFirstKeycode = 8;
    constexpr int kKeycodes = 256 - kFirstKeycode;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
    KeyboardMap map;
    map.minKeycode = kFirstKeycode;
    map.perKeycode = 2;
    map.keysyms.assign(2 * kKeycodes, 0);
    for (int keycode = kFirstKeycode; keycode < 256; ++keycode) {
        GdkKeymapKey* keys = nullptr;
        guint* keyvals = nullptr;
        gint count = 0;
        if (!gdk_keymap_get_entries_for_keycode(keymap, keycode, &keys, &keyvals, &count)) {
            continue;
        }
        for (gint i = 0; i < count; ++i) {
            if (keys[i].group == 0 && keys[i].level < 2) {
                map.keysyms[static_cast<std::size_t>((keycode - kFirstKeycode) * 2 +
                                                     keys[i].level)] = keyvals[i];
            }
        }
        g_free(keys);
        g_free(keyvals);
    }
    return map;
}

namespace {

std::string NameOfKey(std::uint8_t virtualKey) {
    const KeyboardMap map = KeyboardOfDisplay();
    const int keycode = AssignKeys(map).keycodeOf[virtualKey];
    return keycode != 0 ? KeysymName(FirstKeysym(map, keycode)) : "";
}

}  // namespace

CapturedPress PressOf(const GdkEventKey* event) {
    CapturedPress press;
    press.virtualKey = AssignKeys(KeyboardOfDisplay()).codeOf[event->hardware_keycode & 0xFF];
    press.keysym = event->keyval;
    press.state = event->state;
    guint base = 0;
    if (gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(gdk_display_get_default()),
                                            event->hardware_keycode, GdkModifierType(0),
                                            event->group, &base, nullptr, nullptr, nullptr)) {
        press.baseKeysym = base;
    } else {
        press.baseKeysym = event->keyval;
    }
    return press;
}

namespace {

gboolean OnCaptureKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto& control = *static_cast<Control*>(data);
    if (!control.capture->OnPress(PressOf(event))) {
        return FALSE;
    }
    ShowChord(control);
    return TRUE;
}

gboolean OnCaptureKeyRelease(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto& control = *static_cast<Control*>(data);
    control.capture->OnRelease(PressOf(event));
    ShowChord(control);
    return TRUE;
}

// An edit that takes numbers only refuses any other character.
void OnNumberInsert(GtkEditable* editable, const gchar* text, gint length, gint*, gpointer) {
    const std::size_t size = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
    if (!std::all_of(text, text + size,
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        g_signal_stop_emission_by_name(editable, "insert-text");
        gtk_widget_error_bell(GTK_WIDGET(editable));
    }
}

void OnClicked(GtkButton*, gpointer data) {
    NotifyCommand(*static_cast<Control*>(data), kBnClicked);
}

void OnToggled(GtkToggleButton* button, gpointer data) {
    auto& control = *static_cast<Control*>(data);
    if (control.layout.kind != ControlKind::kRadio || gtk_toggle_button_get_active(button)) {
        NotifyCommand(control, kBnClicked);
    }
}

void OnEditChanged(GtkEditable*, gpointer data) {
    NotifyCommand(*static_cast<Control*>(data), kEnChange);
}

// LVN_KEYDOWN for every key pressed in a list; the list's own keys still move its selection.
gboolean OnListKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto& control = *static_cast<Control*>(data);
    GtkDialogHost::Dialog& dialog = *control.dialog;
    bool extended = false;
    const std::uint32_t virtualKey = PressedVirtualKey(PressOf(event), &extended);
    if (dialog.closing || dialog.ended || virtualKey == 0) {
        return FALSE;
    }
    ListViewKeyDown notify;
    notify.hdr =
        NotifyHeader{control.handle, static_cast<std::uintptr_t>(control.layout.id), kLvnKeyDown};
    notify.wVKey = static_cast<std::uint16_t>(virtualKey);
    PressScope press(*dialog.host, event->state);
    dialog.handler->DialogProc(dialog.handle, kWmNotify,
                               static_cast<std::uintptr_t>(control.layout.id),
                               reinterpret_cast<std::intptr_t>(&notify));
    return FALSE;
}

void OnComboChanged(GtkComboBox*, gpointer data) {
    NotifyCommand(*static_cast<Control*>(data), kCbnSelChange);
}

GtkWidget* MakeList(Control& control) {
    control.rows = NewRowCountModel(0);
    control.widget = gtk_tree_view_new_with_model(control.rows);
    g_object_unref(control.rows);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(control.widget),
                                      (control.layout.styles & kStyleNoHeader) == 0);
    gtk_tree_view_set_enable_search(GTK_TREE_VIEW(control.widget), FALSE);
    // Every row is one line and every column of fixed width (AddColumn), so the view need not
    // measure each row of a long list: only the rows it draws ask the dialog for their texts.
    gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(control.widget), TRUE);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(control.widget));
    gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
    g_signal_connect(selection, "changed", G_CALLBACK(OnItemChanged), &control);
    g_signal_connect(control.widget, "key-press-event", G_CALLBACK(OnListKeyPress), &control);
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(scrolled), control.widget);
    g_signal_connect(gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(scrolled)),
                     "value-changed", G_CALLBACK(OnListScrolled), &control);
    return scrolled;
}

GtkWidget* MakeLabel(Control& control) {
    control.widget = gtk_label_new_with_mnemonic(MnemonicText(control.layout.text).c_str());
    gtk_label_set_xalign(GTK_LABEL(control.widget), 0);
    gtk_label_set_yalign(GTK_LABEL(control.widget), 0);
    if (IsMultiLine(control.layout)) {
        gtk_label_set_line_wrap(GTK_LABEL(control.widget), TRUE);
        gtk_label_set_line_wrap_mode(GTK_LABEL(control.widget), PANGO_WRAP_WORD_CHAR);
    }
    if ((control.layout.styles & kStyleSunken) == 0) {
        return control.widget;
    }
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(frame), control.widget);
    return frame;
}

GtkWidget* MakeEdit(Control& control) {
    control.widget = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(control.widget), 1);
    gtk_entry_set_activates_default(GTK_ENTRY(control.widget), TRUE);
    if ((control.layout.styles & kStyleReadOnly) != 0) {
        gtk_editable_set_editable(GTK_EDITABLE(control.widget), FALSE);
    }
    if ((control.layout.styles & kStyleNumber) != 0) {
        g_signal_connect(control.widget, "insert-text", G_CALLBACK(OnNumberInsert), nullptr);
    }
    g_signal_connect(control.widget, "changed", G_CALLBACK(OnEditChanged), &control);
    return control.widget;
}

GtkWidget* MakeCapture(Control& control, const std::string& noneText) {
    control.capture = std::make_unique<HotkeyCapture>(noneText, NameOfKey);
    control.widget = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(control.widget), 1);
    gtk_editable_set_editable(GTK_EDITABLE(control.widget), FALSE);
    g_signal_connect(control.widget, "key-press-event", G_CALLBACK(OnCaptureKeyPress), &control);
    g_signal_connect(control.widget, "key-release-event", G_CALLBACK(OnCaptureKeyRelease),
                     &control);
    ShowChord(control);
    return control.widget;
}

GtkWidget* MakeButton(Control& control, GtkRadioButton* groupLeader) {
    const std::string marked = MnemonicText(control.layout.text);
    const char* text = marked.c_str();
    switch (control.layout.kind) {
        case ControlKind::kCheck:
            control.widget = gtk_check_button_new_with_mnemonic(text);
            g_signal_connect(control.widget, "toggled", G_CALLBACK(OnToggled), &control);
            return control.widget;
        case ControlKind::kRadio:
            control.widget = gtk_radio_button_new_with_mnemonic_from_widget(groupLeader, text);
            g_signal_connect(control.widget, "toggled", G_CALLBACK(OnToggled), &control);
            return control.widget;
        default:
            control.widget = gtk_button_new_with_mnemonic(text);
            gtk_widget_set_can_default(control.widget,
                                       control.layout.kind == ControlKind::kDefault);
            g_signal_connect(control.widget, "clicked", G_CALLBACK(OnClicked), &control);
            return control.widget;
    }
}

}  // namespace

void MakeControl(Control& control, const std::string& noneText, GtkRadioButton* groupLeader) {
    switch (control.layout.kind) {
        case ControlKind::kGroup:
            control.widget = control.outer = gtk_frame_new(control.layout.text);
            break;
        case ControlKind::kLabel:
            control.outer = MakeLabel(control);
            break;
        case ControlKind::kEdit:
            control.outer = MakeEdit(control);
            break;
        case ControlKind::kCombo:
            control.widget = control.outer = gtk_combo_box_text_new();
            g_signal_connect(control.widget, "changed", G_CALLBACK(OnComboChanged), &control);
            break;
        case ControlKind::kList:
            control.outer = MakeList(control);
            break;
        case ControlKind::kHotkey:
            control.outer = MakeCapture(control, noneText);
            break;
        default:
            control.outer = MakeButton(control, groupLeader);
            break;
    }
}

std::intptr_t SendToControl(Control& control, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    Quiet quiet(control);
    switch (control.layout.kind) {
        case ControlKind::kList:
            return SendToList(control, message, wParam, lParam);
        case ControlKind::kCombo:
            return SendToCombo(control, message, wParam, lParam);
        case ControlKind::kCheck:
        case ControlKind::kRadio: {
            GtkToggleButton* box = GTK_TOGGLE_BUTTON(control.widget);
            if (message == kBmSetCheck) {
                gtk_toggle_button_set_active(box, wParam == kBstChecked);
                return 0;
            }
            return message == kBmGetCheck && gtk_toggle_button_get_active(box) ? kBstChecked
                                                                               : kBstUnchecked;
        }
        case ControlKind::kEdit:
            if (message == kEmLimitText) {
                gtk_entry_set_max_length(GTK_ENTRY(control.widget), static_cast<gint>(wParam));
            }
            return 0;
        case ControlKind::kHotkey:
            if (message == kHkmSetHotkey) {
                control.capture->Set(static_cast<std::uint16_t>(wParam));
                ShowChord(control);
            }
            return message == kHkmGetHotkey ? control.capture->Value() : 0;
        default:
            return 0;
    }
}

void RedrawControl(Control& control) {
    if (control.layout.kind == ControlKind::kList) {
        TellTextsChanged(control);
    }
    gtk_widget_queue_draw(control.widget);
}

void SetControlText(Control& control, const char* text) {
    Quiet quiet(control);
    switch (control.layout.kind) {
        case ControlKind::kGroup:
            gtk_frame_set_label(GTK_FRAME(control.widget), text);
            break;
        case ControlKind::kLabel:
            gtk_label_set_text(GTK_LABEL(control.widget), text);
            break;
        case ControlKind::kEdit:
            gtk_entry_set_text(GTK_ENTRY(control.widget), text);
            break;
        case ControlKind::kCombo:
        case ControlKind::kList:
        case ControlKind::kHotkey:
            break;
        default:
            gtk_button_set_label(GTK_BUTTON(control.widget), text);
            break;
    }
}

std::string ControlText(const Control& control) {
    const char* text = nullptr;
    switch (control.layout.kind) {
        case ControlKind::kGroup:
            text = gtk_frame_get_label(GTK_FRAME(control.widget));
            break;
        case ControlKind::kLabel:
            text = gtk_label_get_text(GTK_LABEL(control.widget));
            break;
        case ControlKind::kEdit:
        case ControlKind::kHotkey:
            text = gtk_entry_get_text(GTK_ENTRY(control.widget));
            break;
        case ControlKind::kCombo: {
            gchar* chosen = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(control.widget));
            std::string copy = chosen != nullptr ? chosen : "";
            g_free(chosen);
            return copy;
        }
        case ControlKind::kList:
            break;
        default:
            text = gtk_button_get_label(GTK_BUTTON(control.widget));
            break;
    }
    return text != nullptr ? text : "";
}

void NotifyCommand(Control& control, std::uint16_t code) {
    GtkDialogHost::Dialog& dialog = *control.dialog;
    if (dialog.quiet > 0 || dialog.ended || dialog.closing) {
        return;
    }
    const auto wParam = static_cast<std::uintptr_t>(code) << 16 |
                        static_cast<std::uintptr_t>(control.layout.id & 0xFFFF);
    PostCommand(dialog, wParam, control.handle);
}

namespace {

struct PostedCommand {
    GtkDialogHost::Dialog* dialog;
    guint source;
};

gboolean DeliverCommand(gpointer data) {
    const auto& posted = *static_cast<PostedCommand*>(data);
    GtkDialogHost::Dialog& dialog = *posted.dialog;
    const auto found = dialog.pending.find(posted.source);
    if (found != dialog.pending.end()) {
        const auto [wParam, lParam] = found->second;
        dialog.pending.erase(found);
        if (!dialog.ended) {
            dialog.handler->DialogProc(dialog.handle, kWmCommand, wParam, lParam);
        }
    }
    return G_SOURCE_REMOVE;
}

void FreePosted(gpointer data) {
    delete static_cast<PostedCommand*>(data);
}

}  // namespace

void PostCommand(GtkDialogHost::Dialog& dialog, std::uintptr_t wParam, WindowHandle control) {
    auto* posted = new PostedCommand{&dialog, 0};
    posted->source = g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, DeliverCommand, posted, FreePosted);
    dialog.pending[posted->source] = {wParam, static_cast<std::intptr_t>(control)};
}

void DropCommands(GtkDialogHost::Dialog& dialog) {
    for (const auto& [source, command] : dialog.pending) {
        g_source_remove(source);
    }
    dialog.pending.clear();
}

Size FontUnits(GtkWidget* window) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    PangoLayout* layout = gtk_widget_create_pango_layout(window, kAlphabet);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    return Size{(width / 26 + 1) / 2, height};
}

}  // namespace pavix
