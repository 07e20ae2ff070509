#include "tools/tray_host/notify_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pavix_tray {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Size4 {
    std::uint32_t width = 0, height = 0, planes = 0, bpp = 0;
};

// What shell32 fills in; offsets as in notify_record.h.
struct Fields {
    std::uint32_t window = 0x00010086;
    std::uint32_t uid = 1;
    std::uint32_t flags = kNifMessage | kNifIcon | kNifTip;
    std::uint32_t callbackMessage = 0x8001;
    std::u16string tip = u"Pavix";
    std::uint32_t state = 0, stateMask = 0, timeout = 0, infoFlags = 0;
    Size4 picture;
    Size4 balloon;  // the later layout only
};

void Put32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void PutSize(Bytes& bytes, std::size_t offset, const Size4& size) {
    Put32(bytes, offset, size.width);
    Put32(bytes, offset + 4, size.height);
    Put32(bytes, offset + 8, size.planes);
    Put32(bytes, offset + 12, size.bpp);
}

Bytes Record(RecordLayout layout, const Fields& fields, const Bytes& bits = {}) {
    const bool later = layout == RecordLayout::kIconSizeAfterFixed;
    const std::size_t tip = later ? 32 : 16;
    Bytes bytes(later ? 976 : 960, 0);
    Put32(bytes, 0, fields.window);
    Put32(bytes, 4, fields.uid);
    Put32(bytes, 8, fields.flags);
    Put32(bytes, 12, fields.callbackMessage);
    for (std::size_t i = 0; i < fields.tip.size(); ++i) {
        bytes.at(tip + 2 * i) = static_cast<std::uint8_t>(fields.tip[i] & 0xFF);
        bytes.at(tip + 2 * i + 1) = static_cast<std::uint8_t>(fields.tip[i] >> 8);
    }
    Put32(bytes, tip + 256, fields.state);
    Put32(bytes, tip + 260, fields.stateMask);
    Put32(bytes, tip + 776, fields.timeout);
    Put32(bytes, tip + 908, fields.infoFlags);
    PutSize(bytes, later ? 16 : 944, fields.picture);
    if (later) {
        PutSize(bytes, 960, fields.balloon);
    }
    bytes.insert(bytes.end(), bits.begin(), bits.end());
    return bytes;
}

Bytes Pattern(std::size_t count, std::uint8_t first) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i);
    }
    return bytes;
}

Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::optional<NotifyRecord> Parse(const Bytes& bytes) {
    return ParseNotifyRecord(bytes.data(), bytes.size());
}

const Size4 kSmall32{16, 16, 1, 32};  // what Wine sends for Pavix's icon on a 24-bit display
const Bytes kMask16 = Pattern(32, 0x10);
const Bytes kColour16x32 = Pattern(1024, 0x80);

TEST(NotifyRecordTest, PictureByteCountFollowsShell32) {
    EXPECT_EQ(PictureByteCount(16, 16, 1, 32), std::optional<std::size_t>(32 + 1024));
    EXPECT_EQ(PictureByteCount(32, 32, 1, 4), std::optional<std::size_t>(128 + 512));
    EXPECT_EQ(PictureByteCount(16, 16, 1, 1), std::optional<std::size_t>(32 + 32));
    // Rounded up to a whole word over the whole picture, as shell32 counts.
    EXPECT_EQ(PictureByteCount(3, 3, 1, 1), std::optional<std::size_t>(2 + 2));
    EXPECT_EQ(PictureByteCount(0, 0, 0, 0), std::optional<std::size_t>(0));
}

TEST(NotifyRecordTest, PictureByteCountRefusesWhatIsNoIcon) {
    EXPECT_FALSE(PictureByteCount(0, 16, 1, 32));
    EXPECT_FALSE(PictureByteCount(16, 0, 1, 32));
    EXPECT_FALSE(PictureByteCount(257, 16, 1, 32));
    EXPECT_FALSE(PictureByteCount(16, 16, 2, 32));
    EXPECT_FALSE(PictureByteCount(16, 16, 1, 7));
    EXPECT_FALSE(PictureByteCount(0xFFFFFFFF, 0xFFFFFFFF, 1, 32));
}

TEST(NotifyRecordTest, ReadsTheWine8RecordWithItsPicture) {
    Fields fields;
    fields.picture = kSmall32;
    const auto record =
        Parse(Record(RecordLayout::kIconSizeAfterGuid, fields, Join(kMask16, kColour16x32)));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->layout, RecordLayout::kIconSizeAfterGuid);
    EXPECT_EQ(record->window, 0x00010086u);
    EXPECT_EQ(record->uid, 1u);
    EXPECT_EQ(record->flags, kNifMessage | kNifIcon | kNifTip);
    EXPECT_EQ(record->callbackMessage, 0x8001u);
    EXPECT_EQ(record->tip, u"Pavix");
    ASSERT_TRUE(record->picture);
    EXPECT_EQ(record->picture->width, 16u);
    EXPECT_EQ(record->picture->height, 16u);
    EXPECT_EQ(record->picture->planes, 1u);
    EXPECT_EQ(record->picture->bitsPerPixel, 32u);
    EXPECT_FALSE(record->picture->Monochrome());
    EXPECT_EQ(record->picture->mask, kMask16);
    EXPECT_EQ(record->picture->colour, kColour16x32);
}

TEST(NotifyRecordTest, ReadsTheOtherFieldsOfTheHead) {
    Fields fields;
    fields.flags = kNifState | kNifInfo;
    fields.window = 0xFFFF1234;  // kept as sent: the host sign-extends it
    fields.uid = 0x7777;
    fields.state = kNisHidden;
    fields.stateMask = 0x3;
    fields.timeout = 4;
    fields.infoFlags = 0x21;
    for (RecordLayout layout :
         {RecordLayout::kIconSizeAfterGuid, RecordLayout::kIconSizeAfterFixed}) {
        const auto record = Parse(Record(layout, fields));
        ASSERT_TRUE(record);
        EXPECT_EQ(record->layout, layout);
        EXPECT_EQ(record->window, 0xFFFF1234u);
        EXPECT_EQ(record->uid, 0x7777u);
        EXPECT_EQ(record->state, kNisHidden);
        EXPECT_EQ(record->stateMask, 0x3u);
        EXPECT_EQ(record->timeoutOrVersion, 4u);
        EXPECT_EQ(record->infoFlags, 0x21u);
        EXPECT_FALSE(record->picture);
    }
}

TEST(NotifyRecordTest, ARecordWithoutPictureIsTheHeadAlone) {
    Fields fields;
    fields.flags = 0;  // as Pavix deletes its icon
    fields.tip.clear();
    const auto record = Parse(Record(RecordLayout::kIconSizeAfterGuid, fields));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->tip, u"");
    EXPECT_FALSE(record->picture);
}

TEST(NotifyRecordTest, AnIconShell32CouldNotReadComesWithoutPicture) {
    // NIF_ICON stays set, the size is all zero and no bits follow.
    const auto record = Parse(Record(RecordLayout::kIconSizeAfterGuid, Fields{}));
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->flags & kNifIcon);
    EXPECT_FALSE(record->picture);
}

TEST(NotifyRecordTest, ReadsTheLaterLayout) {
    Fields fields;
    fields.picture = kSmall32;
    const auto record =
        Parse(Record(RecordLayout::kIconSizeAfterFixed, fields, Join(kMask16, kColour16x32)));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->layout, RecordLayout::kIconSizeAfterFixed);
    EXPECT_EQ(record->tip, u"Pavix");
    ASSERT_TRUE(record->picture);
    EXPECT_EQ(record->picture->bitsPerPixel, 32u);
    EXPECT_EQ(record->picture->mask, kMask16);
    EXPECT_EQ(record->picture->colour, kColour16x32);
}

TEST(NotifyRecordTest, TheLaterLayoutsBalloonPictureFollowsTheIcon) {
    Fields fields;
    fields.flags = kNifIcon | kNifInfo;
    fields.infoFlags = kNiifUser;
    fields.picture = kSmall32;
    fields.balloon = {32, 32, 1, 1};
    const Bytes balloon = Pattern(128 + 128, 0x01);
    const auto record = Parse(Record(RecordLayout::kIconSizeAfterFixed, fields,
                                     Join(Join(kMask16, kColour16x32), balloon)));
    ASSERT_TRUE(record);
    ASSERT_TRUE(record->picture);
    EXPECT_EQ(record->picture->colour, kColour16x32);
    // Without NIIF_USER, the balloon's bits are not there.
    fields.infoFlags = 0;
    EXPECT_FALSE(Parse(Record(RecordLayout::kIconSizeAfterFixed, fields,
                              Join(Join(kMask16, kColour16x32), balloon))));
}

TEST(NotifyRecordTest, AMonochromeIconCarriesItsXorMaskAsColour) {
    Fields fields;
    fields.picture = {16, 16, 1, 1};
    const auto record =
        Parse(Record(RecordLayout::kIconSizeAfterGuid, fields, Join(kMask16, Pattern(32, 0xC0))));
    ASSERT_TRUE(record);
    ASSERT_TRUE(record->picture);
    EXPECT_TRUE(record->picture->Monochrome());
    EXPECT_EQ(record->picture->mask, kMask16);
    EXPECT_EQ(record->picture->colour, Pattern(32, 0xC0));
}

TEST(NotifyRecordTest, RowsThatAreNoWholeWordArePaddedForCreateBitmap) {
    // 20 pixels: a mask row is 20 bits, 4 bytes in a bitmap; shell32 sends (400 + 15) / 16 * 2
    // = 50 mask bytes and (20 * 20 * 24 + 15) / 16 * 2 = 1200 colour bytes (rows of 60 bytes).
    Fields fields;
    fields.picture = {20, 20, 1, 24};
    const auto record = Parse(Record(RecordLayout::kIconSizeAfterGuid, fields,
                                     Join(Pattern(50, 0x01), Pattern(1200, 0x40))));
    ASSERT_TRUE(record);
    ASSERT_TRUE(record->picture);
    ASSERT_EQ(record->picture->mask.size(), 80u);
    EXPECT_EQ(Bytes(record->picture->mask.begin(), record->picture->mask.begin() + 50),
              Pattern(50, 0x01));
    EXPECT_EQ(Bytes(record->picture->mask.begin() + 50, record->picture->mask.end()), Bytes(30, 0));
    EXPECT_EQ(record->picture->colour, Pattern(1200, 0x40));
}

TEST(NotifyRecordTest, RefusesBytesOfNeitherLayout) {
    Fields fields;
    fields.picture = kSmall32;
    const Bytes whole =
        Record(RecordLayout::kIconSizeAfterGuid, fields, Join(kMask16, kColour16x32));
    EXPECT_TRUE(Parse(whole));
    EXPECT_FALSE(Parse(Bytes(whole.begin(), whole.end() - 1)));
    EXPECT_FALSE(Parse(Join(whole, {0})));
    EXPECT_FALSE(Parse(Bytes(whole.begin(), whole.begin() + 959)));
    EXPECT_FALSE(Parse(Bytes()));
    EXPECT_FALSE(ParseNotifyRecord(nullptr, 0));
    // A size no icon has.
    fields.picture = {16, 16, 1, 7};
    EXPECT_FALSE(Parse(Record(RecordLayout::kIconSizeAfterGuid, fields, Bytes(32 + 224))));
    // The head alone with NIF_ICON and a size, but no bits.
    fields.picture = kSmall32;
    EXPECT_FALSE(Parse(Record(RecordLayout::kIconSizeAfterGuid, fields)));
}

TEST(NotifyRecordTest, ATipWithoutEndStopsAtTheFieldsLastUnit) {
    Fields fields;
    fields.flags = kNifTip;
    fields.tip = std::u16string(128, u'x');
    const auto record = Parse(Record(RecordLayout::kIconSizeAfterGuid, fields));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->tip, std::u16string(127, u'x'));
    fields.tip = u"\u30D1\u30D3\u30C3\u30AF\u30B9";  // "パビックス": UTF-16 as sent
    EXPECT_EQ(Parse(Record(RecordLayout::kIconSizeAfterGuid, fields))->tip, fields.tip);
}

}  // namespace
}  // namespace pavix_tray
