// The open-file and save-file dialogs of the dialog host.
#include <gtk/gtk.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/linux/desktop/dialog_host_gtk.h"
#include "platform/linux/desktop/dialog_layout.h"

namespace pavix {
namespace {

struct Answer {
    bool done = false;
    gint response = GTK_RESPONSE_CANCEL;
};

void OnResponse(GtkDialog*, gint response, gpointer data) {
    auto& answer = *static_cast<Answer*>(data);
    answer.response = response;
    answer.done = true;
    g_main_context_wakeup(nullptr);
}

// The request's pairs of display text and patterns ("*.toml;*.txt"), "*.*" being every file.
void AddFilters(GtkFileChooser* chooser, const char* filter) {
    while (filter != nullptr && *filter != '\0') {
        const char* patterns = filter + std::strlen(filter) + 1;
        if (*patterns == '\0') {
            break;
        }
        GtkFileFilter* added = gtk_file_filter_new();
        gtk_file_filter_set_name(added, filter);
        gchar** each = g_strsplit(patterns, ";", -1);
        for (gchar** pattern = each; *pattern != nullptr; ++pattern) {
            gtk_file_filter_add_pattern(added, std::strcmp(*pattern, "*.*") == 0 ? "*" : *pattern);
        }
        g_strfreev(each);
        gtk_file_chooser_add_filter(chooser, added);
        filter = patterns + std::strlen(patterns) + 1;
    }
}

// The file the request names to start with: its folder and, to save, its name.
void StartAt(GtkFileChooser* chooser, const std::string& initial, bool save) {
    if (initial.empty()) {
        return;
    }
    gchar* folder = g_path_get_dirname(initial.c_str());
    gchar* name = g_path_get_basename(initial.c_str());
    if (initial.find('/') != std::string::npos) {
        gtk_file_chooser_set_current_folder(chooser, folder);
    }
    if (save) {
        gtk_file_chooser_set_current_name(chooser, name);
    } else if (g_file_test(initial.c_str(), G_FILE_TEST_EXISTS)) {
        gtk_file_chooser_select_filename(chooser, initial.c_str());
    }
    g_free(folder);
    g_free(name);
}

gint RunModal(GtkWidget* dialog, const std::function<void(const bool&)>& pump) {
    Answer answer;
    const gulong handler = g_signal_connect(dialog, "response", G_CALLBACK(OnResponse), &answer);
    gtk_widget_show_all(dialog);
    pump(answer.done);
    g_signal_handler_disconnect(dialog, handler);
    return answer.response;
}

// The name with its default extension is another file than the one the chooser asked about:
// replacing it is asked in the chooser's own words.
bool MayReplace(GtkWidget* parent, const std::string& path,
                const std::function<void(const bool&)>& pump) {
    gchar* name = g_path_get_basename(path.c_str());
    GtkWidget* box = gtk_message_dialog_new(
        GTK_WINDOW(parent), GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
        g_dgettext("gtk30", "A file named “%s” already exists.  Do you want to replace it?"), name);
    g_free(name);
    gtk_dialog_add_buttons(GTK_DIALOG(box), g_dgettext("gtk30", "_Cancel"), GTK_RESPONSE_CANCEL,
                           g_dgettext("gtk30", "_Replace"), GTK_RESPONSE_ACCEPT, nullptr);
    const bool replace = RunModal(box, pump) == GTK_RESPONSE_ACCEPT;
    gtk_widget_destroy(box);
    return replace;
}

}  // namespace

bool ChooseFileWithGtk(OpenFileName* request, bool save, void* parent,
                       const std::function<void(const bool& done)>& pump) {
    if (request == nullptr || request->lpstrFile == nullptr || request->nMaxFile == 0) {
        return false;
    }
    const std::string initial(request->lpstrFile, strnlen(request->lpstrFile, request->nMaxFile));
    const char* title = request->lpstrTitle != nullptr
                            ? request->lpstrTitle
                            : g_dgettext("gtk30", save ? "Save File" : "Open File");
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        title, GTK_WINDOW(parent),
        save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
        g_dgettext("gtk30", "_Cancel"), GTK_RESPONSE_CANCEL,
        g_dgettext("gtk30", save ? "_Save" : "_Open"), GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_do_overwrite_confirmation(
        chooser, save && (request->Flags & kOfnOverwritePrompt) != 0);
    AddFilters(chooser, request->lpstrFilter);
    StartAt(chooser, initial, save);
    std::string chosen;
    while (chosen.empty() && RunModal(dialog, pump) == GTK_RESPONSE_ACCEPT) {
        gchar* file = gtk_file_chooser_get_filename(chooser);
        std::string path = file != nullptr ? file : "";
        g_free(file);
        if (save && !path.empty()) {
            const std::string extended = WithDefaultExtension(path, request->lpstrDefExt);
            const bool askAgain = extended != path && (request->Flags & kOfnOverwritePrompt) != 0 &&
                                  g_file_test(extended.c_str(), G_FILE_TEST_EXISTS) &&
                                  !MayReplace(dialog, extended, pump);
            path = askAgain ? std::string() : extended;
        }
        chosen = path;
    }
    gtk_widget_destroy(dialog);
    // A path that does not fit the caller's buffer is no choice, as the platform refuses it.
    if (chosen.empty() || chosen.size() >= request->nMaxFile) {
        return false;
    }
    std::memcpy(request->lpstrFile, chosen.c_str(), chosen.size() + 1);
    return true;
}

}  // namespace pavix
