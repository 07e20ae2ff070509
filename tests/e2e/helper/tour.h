// The scripted tour behind the README's pictures: Pavix with its sample sequences in the
// project's tray host, shown state by state, each picture cut from the screen and written as a
// 24-bit BMP (tools/screenshots.sh turns them into PNGs).
#pragma once

#include <string>

#include "verdict.h"

namespace pavix_e2e {

// Runs the tour for the Pavix.exe in `folder` (with its Sequence.dat) and writes the pictures
// into outFolder, their names ending in suffix ("", "-ja" or "-150"). The tray host must be
// running. A `scaled` tour, for a display scale other than 100 %, takes only the hints and the
// sequence editor.
Verdict RunTour(const std::string& folder, const std::string& outFolder, const std::string& suffix,
                bool japanese, bool scaled = false);

}  // namespace pavix_e2e
