// The editors that the tray menu opens.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace pavix {

// The editor shown by a dialog template; nullptr for a template that is no editor.
std::unique_ptr<DialogHandler> MakeEditor(Platform& platform, std::uint32_t templateId);

}  // namespace pavix
