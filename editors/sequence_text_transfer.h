// Export and Import of the sequence editor: the whole list as text in a file the user chooses (in
// a file dialog run in the editor's stack of dialogs), with whatever stops either told in an
// error box.
#pragma once

#include <optional>
#include <string>

#include "editors/dialog_stack.h"
#include "model/sequence.h"
#include "platform/platform.h"

namespace pavix {

// Asks for a file, starting from `path`, which then holds the choice, and writes `list` there.
void ExportSequences(Platform& platform, DialogStack& dialogs, const SequenceList& list,
                     std::string& path);

// Asks for a file, starting from `path`, which then holds the choice, and reads it whole. The
// sequences when every part of the text is good; nothing when the user cancels or anything is
// wrong (then told, with the line of each error).
std::optional<SequenceList> ImportSequences(Platform& platform, DialogStack& dialogs,
                                            std::string& path);

}  // namespace pavix
