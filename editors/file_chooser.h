// The platform's file dialogs as the editors use them: the open-file dialog of the Browse buttons,
// and the dialogs that choose the file of the sequences as text. Each runs in the editor's stack
// of dialogs, which the program's end closes.
#pragma once

#include <string>

#include "editors/dialog_stack.h"
#include "platform/platform.h"

namespace pavix {

enum class FileChooserHook { Without, With };

// Shows the open-file dialog owned by the active window, starting from `path` (at most 259
// characters of it), with the single filter "All Files" and the current directory left as it
// is. Returns true and replaces `path` by the full path chosen; false leaves `path` unchanged.
bool ChooseFile(Platform& platform, DialogStack& dialogs, std::string& path, FileChooserHook hook);

enum class TextFileDialog { kExport, kImport };

// Export: the save-file dialog, which asks before it replaces a file. Import: the open-file
// dialog, for a file that exists. Both are titled in the user's language, offer the text files
// and all files, add ".toml" to a name typed without an extension and leave the current directory
// as it is. Returns true and replaces `path` by the full path chosen.
bool ChooseTextFile(Platform& platform, DialogStack& dialogs, TextFileDialog dialog,
                    std::string& path);

}  // namespace pavix
