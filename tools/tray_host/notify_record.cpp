#include "tools/tray_host/notify_record.h"

#include <algorithm>

namespace pavix_tray {
namespace {

// Where a layout keeps what the host reads. Every field from szTip on keeps its distance to
// szTip in both layouts.
struct LayoutOffsets {
    RecordLayout layout;
    std::size_t headSize;
    std::size_t tip;
    std::size_t pictureInfo;
    std::size_t balloonInfo;  // 0: the layout has no balloon picture
};

constexpr LayoutOffsets kIconSizeAfterGuid{RecordLayout::kIconSizeAfterGuid, 960, 16, 944, 0};
constexpr LayoutOffsets kIconSizeAfterFixed{RecordLayout::kIconSizeAfterFixed, 976, 32, 16, 960};

constexpr std::size_t kStateFromTip = 256;
constexpr std::size_t kStateMaskFromTip = 260;
constexpr std::size_t kTimeoutFromTip = 776;
constexpr std::size_t kInfoFlagsFromTip = 908;

std::uint32_t ReadUint32(const std::uint8_t* bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

// shell32's count: the bits rounded up to a whole 16-bit word, as bytes.
std::size_t WordBytes(std::size_t bits) {
    return (bits + 15) / 16 * 2;
}

struct PictureInfo {
    std::uint32_t width, height, planes, bitsPerPixel;
};

PictureInfo ReadPictureInfo(const std::uint8_t* bytes, std::size_t offset) {
    return {ReadUint32(bytes, offset), ReadUint32(bytes, offset + 4), ReadUint32(bytes, offset + 8),
            ReadUint32(bytes, offset + 12)};
}

std::optional<std::size_t> ByteCount(const PictureInfo& info) {
    return PictureByteCount(info.width, info.height, info.planes, info.bitsPerPixel);
}

// Copies `count` bytes from `source` into a vector of `rows` word-padded rows of `rowBits`
// bits; bytes the record does not carry are zero.
std::vector<std::uint8_t> Rows(const std::uint8_t* source, std::size_t count, std::size_t rowBits,
                               std::size_t rows) {
    std::vector<std::uint8_t> bits(source, source + count);
    bits.resize(std::max(count, WordBytes(rowBits) * rows), 0);
    return bits;
}

std::u16string ReadTip(const std::uint8_t* bytes, std::size_t offset) {
    std::u16string tip;
    for (std::size_t unit = 0; unit + 1 < kTipUnits; ++unit) {
        const std::size_t at = offset + unit * 2;
        const auto value = static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8);
        if (value == 0) {
            break;
        }
        tip.push_back(value);
    }
    return tip;
}

std::optional<NotifyRecord> ParseAs(const LayoutOffsets& offsets, const std::uint8_t* bytes,
                                    std::size_t size) {
    if (size < offsets.headSize) {
        return std::nullopt;
    }
    NotifyRecord record;
    record.layout = offsets.layout;
    record.window = ReadUint32(bytes, 0);
    record.uid = ReadUint32(bytes, 4);
    record.flags = ReadUint32(bytes, 8);
    record.callbackMessage = ReadUint32(bytes, 12);
    record.tip = ReadTip(bytes, offsets.tip);
    record.state = ReadUint32(bytes, offsets.tip + kStateFromTip);
    record.stateMask = ReadUint32(bytes, offsets.tip + kStateMaskFromTip);
    record.timeoutOrVersion = ReadUint32(bytes, offsets.tip + kTimeoutFromTip);
    record.infoFlags = ReadUint32(bytes, offsets.tip + kInfoFlagsFromTip);

    const PictureInfo picture = ReadPictureInfo(bytes, offsets.pictureInfo);
    std::size_t pictureBytes = 0;
    if ((record.flags & kNifIcon) != 0) {
        const std::optional<std::size_t> count = ByteCount(picture);
        if (!count) {
            return std::nullopt;
        }
        pictureBytes = *count;
    }
    std::size_t balloonBytes = 0;
    if (offsets.balloonInfo != 0 && (record.flags & kNifInfo) != 0 &&
        (record.infoFlags & kNiifIconMask) == kNiifUser) {
        const std::optional<std::size_t> count =
            ByteCount(ReadPictureInfo(bytes, offsets.balloonInfo));
        if (!count) {
            return std::nullopt;
        }
        balloonBytes = *count;
    }
    if (size != offsets.headSize + pictureBytes + balloonBytes) {
        return std::nullopt;
    }

    if (pictureBytes != 0) {
        IconPicture icon;
        icon.width = picture.width;
        icon.height = picture.height;
        icon.planes = picture.planes;
        icon.bitsPerPixel = picture.bitsPerPixel;
        const std::size_t pixels = std::size_t{picture.width} * picture.height;
        const std::size_t maskBytes = WordBytes(pixels);
        const std::size_t colourBits = std::size_t{picture.planes} * picture.bitsPerPixel;
        const std::uint8_t* bits = bytes + offsets.headSize;
        icon.mask = Rows(bits, maskBytes, picture.width, picture.height);
        icon.colour = Rows(bits + maskBytes, pictureBytes - maskBytes,
                           std::size_t{picture.width} * colourBits, picture.height);
        record.picture = std::move(icon);
    }
    return record;
}

}  // namespace

std::optional<std::size_t> PictureByteCount(std::uint32_t width, std::uint32_t height,
                                            std::uint32_t planes, std::uint32_t bitsPerPixel) {
    if (width == 0 && height == 0 && planes == 0 && bitsPerPixel == 0) {
        return 0;
    }
    const bool knownDepth = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 ||
                            bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (width == 0 || width > kMaxPictureSide || height == 0 || height > kMaxPictureSide ||
        planes != 1 || !knownDepth) {
        return std::nullopt;
    }
    const std::size_t pixels = std::size_t{width} * height;
    return WordBytes(pixels) + WordBytes(pixels * planes * bitsPerPixel);
}

std::optional<NotifyRecord> ParseNotifyRecord(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr) {
        return std::nullopt;
    }
    // The layout of the Wine on this project's machines first: should the bytes fit both, they
    // are far more likely to be that one.
    if (auto record = ParseAs(kIconSizeAfterGuid, bytes, size)) {
        return record;
    }
    return ParseAs(kIconSizeAfterFixed, bytes, size);
}

}  // namespace pavix_tray
