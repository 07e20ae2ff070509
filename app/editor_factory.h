// The editors that the tray menu opens.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "editors/dialog_stack.h"
#include "platform/platform.h"
#include "storage/settings.h"

namespace pavix {

// The chord of the abort key while its switch is on, which aborts every search.
std::optional<KeyChord> ActiveAbortChord(const Settings& settings);

// The editor shown by a dialog template; nullptr for a template that is no editor. `settings`
// are the ones the engine runs with, whose abort key the sequence editor warns about; the editor
// runs its own dialogs in `dialogs`.
std::unique_ptr<DialogHandler> MakeEditor(Platform& platform, std::uint32_t templateId,
                                          const Settings& settings, DialogStack& dialogs);

}  // namespace pavix
