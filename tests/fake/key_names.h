// A fixed US keyboard for the stand-in: scan codes of the virtual-key codes and the names of the
// scan codes, with the extended forms that the real keyboard services distinguish.
#pragma once

#include <cstdint>

namespace pavix::fake {

// Scan code of a virtual-key code (map type 0), 0 for codes without a key.
std::uint32_t ScanCodeOf(std::uint32_t virtualKey);

// Name of a scan code, in its extended form when `extended`; nullptr when the key has no name.
const char* NameOfScanCode(std::uint32_t scanCode, bool extended);

}  // namespace pavix::fake
