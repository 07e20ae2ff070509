#include "app/editor_factory.h"

#include "app/main_window.h"
#include "editors/config_dialog.h"
#include "editors/sequence_editor.h"

namespace pavix {

std::unique_ptr<DialogHandler> MakeEditor(Platform& platform, std::uint32_t templateId) {
    switch (templateId) {
        case kConfigDialogId:
            return std::make_unique<ConfigDialog>(platform);
        case kSequenceEditorId:
            return std::make_unique<SequenceEditor>(platform);
        default:
            return nullptr;
    }
}

}  // namespace pavix
