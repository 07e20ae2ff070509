#include "app/editor_factory.h"

namespace pavix {

std::unique_ptr<DialogHandler> MakeEditor(Platform&, std::uint32_t) {
    // The editors arrive with their dialogs; until then the menu commands only stop and restart
    // the engine around where an editor would run.
    return nullptr;
}

}  // namespace pavix
