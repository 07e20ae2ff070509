// The record that Wine's shell32 sends the notification area ("Shell_TrayWnd") as WM_COPYDATA for
// each Shell_NotifyIcon call, read from its bytes. Portable C++ (no windows.h), so that it is
// tested natively; pavix_tray_host turns it into Win32 objects.
//
// The record is the same for 32-bit and 64-bit programs: every handle is 32 bits wide. All
// numbers are little-endian. Two layouts exist:
//
//   kIconSizeAfterGuid (Wine up to 8.0 at least, the one on this project's machines), 960 bytes:
//     0 hWnd, 4 uID, 8 uFlags, 12 uCallbackMessage, 16 szTip[128] (UTF-16), 272 dwState,
//     276 dwStateMask, 280 szInfo[256], 792 uTimeout/uVersion, 796 szInfoTitle[64],
//     924 dwInfoFlags, 928 guidItem, 944 width, 948 height, 952 planes, 956 bpp.
//   kIconSizeAfterFixed (later Wine), 976 bytes: the picture's width, height, planes and bpp at
//     16, every field from szTip on 16 bytes later, and the balloon picture's four numbers at 960.
//
// The head is followed by the picture's bits when NIF_ICON is set and the program's icon could
// be read (the mask, then the colour bits, each counted as shell32 counts them: the bit count
// rounded up to a whole 16-bit word), and in the later layout by the balloon picture's bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavix_tray {

// The Win32 values (shellapi.h) the host needs, for code without windows.h.
constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimModify = 1;
constexpr std::uint32_t kNimDelete = 2;
constexpr std::uint32_t kNimSetFocus = 3;
constexpr std::uint32_t kNimSetVersion = 4;

constexpr std::uint32_t kNifMessage = 0x01;
constexpr std::uint32_t kNifIcon = 0x02;
constexpr std::uint32_t kNifTip = 0x04;
constexpr std::uint32_t kNifState = 0x08;
constexpr std::uint32_t kNifInfo = 0x10;

constexpr std::uint32_t kNisHidden = 0x01;
constexpr std::uint32_t kNiifUser = 0x04;
constexpr std::uint32_t kNiifIconMask = 0x0F;

constexpr std::size_t kTipUnits = 128;
// The largest picture accepted (a notification icon is 16 to 32 pixels square).
constexpr std::uint32_t kMaxPictureSide = 256;

enum class RecordLayout {
    kIconSizeAfterGuid,
    kIconSizeAfterFixed,
};

// A picture as CreateBitmap takes it: each of the two bit arrays holds `height` rows, each row
// padded to a whole 16-bit word (missing bytes at the end, which shell32 leaves out when a row
// is not a whole number of words, are zero).
struct IconPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bitsPerPixel = 0;
    std::vector<std::uint8_t> mask;    // 1 bit per pixel: the AND mask
    std::vector<std::uint8_t> colour;  // planes * bitsPerPixel bits per pixel; for a monochrome
                                       // icon (1 plane, 1 bit) the XOR mask
    bool Monochrome() const { return planes == 1 && bitsPerPixel == 1; }
};

struct NotifyRecord {
    RecordLayout layout = RecordLayout::kIconSizeAfterGuid;
    std::uint32_t window = 0;  // the owner's HWND, 32 bits: sign-extend it to make a handle
    std::uint32_t uid = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    std::u16string tip;  // up to the first zero, at most kTipUnits - 1 units
    std::uint32_t state = 0;
    std::uint32_t stateMask = 0;
    std::uint32_t timeoutOrVersion = 0;
    std::uint32_t infoFlags = 0;
    // Present when NIF_ICON is set and the record carries the picture's bits.
    std::optional<IconPicture> picture;
};

// Bytes of a picture's bits as shell32 counts them (mask plus colour), or nothing when the four
// numbers do not describe a picture this host accepts. All zero means "no picture": 0.
std::optional<std::size_t> PictureByteCount(std::uint32_t width, std::uint32_t height,
                                            std::uint32_t planes, std::uint32_t bitsPerPixel);

// Reads a record; nothing when the bytes fit neither layout.
std::optional<NotifyRecord> ParseNotifyRecord(const std::uint8_t* bytes, std::size_t size);

}  // namespace pavix_tray
