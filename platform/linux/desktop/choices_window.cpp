#include "platform/linux/desktop/choices_window.h"

#include <gtk/gtk.h>

namespace pavix {
namespace {

constexpr const char* kCommandKey = "pavix-command";
constexpr const char* kTitle = "Pavix";
constexpr int kSpacing = 6;
constexpr int kBorder = 12;

}  // namespace

ChoicesWindow::ChoicesWindow(std::function<void(std::uint32_t)> chosen)
    : chosen_(std::move(chosen)) {}

ChoicesWindow::~ChoicesWindow() {
    Close();
}

void ChoicesWindow::Show(const std::vector<TrayIndicator::Item>& items) {
    Close();
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), kTitle);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_container_set_border_width(GTK_CONTAINER(window), kBorder);
    g_signal_connect(window, "delete-event", G_CALLBACK(&ChoicesWindow::OnDeleted), this);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    for (const TrayIndicator::Item& item : items) {
        const std::string label = GtkMnemonic(item.text);
        GtkWidget* button = item.checkable ? gtk_check_button_new_with_mnemonic(label.c_str())
                                           : gtk_button_new_with_mnemonic(label.c_str());
        if (item.checkable) {
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), item.checked);
        }
        gtk_widget_set_sensitive(button, !item.grayed);
        g_object_set_data(G_OBJECT(button), kCommandKey, GUINT_TO_POINTER(item.id));
        g_signal_connect(button, "clicked", G_CALLBACK(&ChoicesWindow::OnClicked), this);
        gtk_box_pack_start(GTK_BOX(column), button, FALSE, FALSE, 0);
    }
    gtk_container_add(GTK_CONTAINER(window), column);
    gtk_widget_show_all(window);
    gtk_window_present(GTK_WINDOW(window));
    window_ = window;
}

void ChoicesWindow::Close() {
    if (window_ != nullptr) {
        gtk_widget_destroy(GTK_WIDGET(window_));
        window_ = nullptr;
    }
}

// The window goes before the choice is carried out: a choice may open a dialog, or end Pavix.
void ChoicesWindow::OnClicked(void* button, void* self) {
    auto& choices = *static_cast<ChoicesWindow*>(self);
    const auto command = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(button), kCommandKey));
    choices.Close();
    choices.chosen_(command);
}

int ChoicesWindow::OnDeleted(void*, void*, void* self) {
    static_cast<ChoicesWindow*>(self)->Close();
    return TRUE;
}

}  // namespace pavix
