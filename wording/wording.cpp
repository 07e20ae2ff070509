#include "wording/wording.h"

#include "resources/ids.h"

namespace pavix {
namespace {

constexpr std::uint32_t kBuiltinTextIds[kBuiltinCommandCount] = {
    ids::kTextDoNothing,        ids::kTextOpenStartMenu,  ids::kTextDisableHotkey,
    ids::kTextExitPavix,        ids::kTextShutdownSystem, ids::kTextForceShutdown,
    ids::kTextRebootSystem,     ids::kTextForceReboot,    ids::kTextLogoff,
    ids::kTextForceLogoff,      ids::kTextStandbySystem,  ids::kTextForceStandby,
    ids::kTextHibernateSystem,  ids::kTextForceHibernate, ids::kTextLockSystem,
    ids::kTextStartScreenSaver,
};

}  // namespace

std::uint32_t FileProblemTextId(FileProblem problem) {
    switch (problem) {
        case FileProblem::kInvalidFormat:
        case FileProblem::kDamagedRecord:
            return ids::kTextInvalidFormat;
        case FileProblem::kVersionMismatch:
            return ids::kTextVersionMismatch;
        case FileProblem::kReadFailed:
            return ids::kTextReadFailed;
        case FileProblem::kOpenForWriteFailed:
            return ids::kTextOpenForWriteFailed;
        case FileProblem::kWriteFailed:
            break;
    }
    return ids::kTextWriteFailed;
}

std::uint32_t TextErrorTextId(TextErrorKind kind) {
    switch (kind) {
        case TextErrorKind::kNotToml:
            break;
        case TextErrorKind::kUnknownEntry:
            return ids::kTextUnknownEntry;
        case TextErrorKind::kWrongType:
            return ids::kTextWrongType;
        case TextErrorKind::kMissingEntry:
            return ids::kTextMissingEntry;
        case TextErrorKind::kUnknownKeyName:
            return ids::kTextUnknownKeyName;
        case TextErrorKind::kUnknownBuiltin:
            return ids::kTextUnknownBuiltin;
        case TextErrorKind::kCommandKind:
            return ids::kTextCommandKind;
        case TextErrorKind::kCodePage:
            return ids::kTextCodePage;
        case TextErrorKind::kZeroCharacter:
            return ids::kTextZeroCharacter;
        case TextErrorKind::kTooLong:
            return ids::kTextTooLong;
    }
    return ids::kTextNotToml;
}

std::uint32_t ExportErrorTextId(ExportErrorKind kind) {
    switch (kind) {
        case ExportErrorKind::kNone:
            break;
        case ExportErrorKind::kCodePage:
            return ids::kTextExportCodePage;
        case ExportErrorKind::kRoundTrip:
            return ids::kTextExportRoundTrip;
        case ExportErrorKind::kUnnamedModifier:
            return ids::kTextExportUnnamedModifier;
    }
    return 0;
}

std::uint32_t BuiltinCommandTextId(BuiltinCommandId id) {
    if (id < 0 || id >= kBuiltinCommandCount) {
        return kBuiltinTextIds[kDoNothing];
    }
    return kBuiltinTextIds[id];
}

ConflictText ExplainConflict(const SequenceList& list, const Conflict& conflict) {
    switch (conflict.kind) {
        case ConflictKind::kNone:
            break;
        case ConflictKind::kNoKeys:
            return {ids::kTextNoKeys, ""};
        case ConflictKind::kNoCommands:
            return {ids::kTextNoCommands, ""};
        case ConflictKind::kAbortChord:
            return {ids::kTextAbortChord, std::to_string(conflict.chord + 1)};
        case ConflictKind::kSameChords:
            return {ids::kTextSameChords, list.At(conflict.other).Name()};
        case ConflictKind::kBeginsWith:
            return {ids::kTextBeginsWith, list.At(conflict.other).Name()};
    }
    return {};
}

}  // namespace pavix
