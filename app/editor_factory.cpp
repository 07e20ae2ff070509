#include "app/editor_factory.h"

#include "app/main_window.h"
#include "editors/config_dialog.h"
#include "editors/sequence_editor.h"

namespace pavix {

std::optional<KeyChord> ActiveAbortChord(const Settings& settings) {
    return settings.AbortKeyEnabled() != 0 ? std::optional<KeyChord>(settings.AbortKey())
                                           : std::nullopt;
}

std::unique_ptr<DialogHandler> MakeEditor(Platform& platform, std::uint32_t templateId,
                                          const Settings& settings, DialogStack& dialogs) {
    switch (templateId) {
        case kConfigDialogId:
            return std::make_unique<ConfigDialog>(platform, dialogs);
        case kSequenceEditorId:
            return std::make_unique<SequenceEditor>(platform, dialogs, ActiveAbortChord(settings));
        default:
            return nullptr;
    }
}

}  // namespace pavix
