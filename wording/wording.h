// Which text of the string table tells the user of each kind that storage and the engine report.
// The ids are the same in both languages; each caller reads them its own way (the editors in the
// user's language, the command-line tool in English).
#pragma once

#include <cstdint>
#include <string>

#include "engine/conflicts.h"
#include "model/command.h"
#include "model/sequence.h"
#include "storage/file_result.h"
#include "storage/sequence_text.h"

namespace pavix {

std::uint32_t FileProblemTextId(FileProblem problem);

// The text takes the error's detail as %1.
std::uint32_t TextErrorTextId(TextErrorKind kind);

// The text takes the 1-based number of the sequence as %1; 0 for kNone.
std::uint32_t ExportErrorTextId(ExportErrorKind kind);

// The display name, in the user's language, of a built-in command; "Do nothing" for unknown ids.
// The text form of the sequences names them otherwise (BuiltinCommandSpelling).
std::uint32_t BuiltinCommandTextId(BuiltinCommandId id);

// What tells the user of a conflict: a text id and the value of its %1 (the name of the sequence
// that completes instead, or the abort chord's 1-based position). Id 0 for kNone.
struct ConflictText {
    std::uint32_t textId = 0;
    std::string value;
};
ConflictText ExplainConflict(const SequenceList& list, const Conflict& conflict);

}  // namespace pavix
