#include "build_policy.h"
#include "firmware_image.h"

#include <gtest/gtest.h>

using namespace vorna::uploader;

namespace {

// The rule the image promises: the first row in row order whose range holds the address.
int firstAcceptingRow(const FirmwareImage& image, std::uint32_t a) {
    for (int i = 0; i < FirmwareImage::kRowCount; ++i)
        if (image.row(i).accepts(a)) return i;
    return -1;
}

std::vector<std::uint8_t> bytesOf(const ImageRow& row) {
    const auto& b = row.bytes();
    return {reinterpret_cast<const std::uint8_t*>(b.data()),
            reinterpret_cast<const std::uint8_t*>(b.data()) + b.size()};
}

} // namespace

TEST(FirmwareImage, LaysOutTheFixedRowsForEachFamily) {
    for (int family : {0, 1, 2, 3}) {
        SCOPED_TRACE(family);
        const FirmwareImage image(family);
        const std::int32_t rowSize = family == 0 ? 32 : 512;
        ASSERT_EQ(image.rows().size(), 1672u);
        for (int i = 0; i < 1672; ++i) {
            const auto& r = image.row(i);
            EXPECT_TRUE(r.empty());
            EXPECT_EQ(r.family(), family);
            if (i < 1536) {
                EXPECT_EQ(r.kind(), RowKind::Program);
                EXPECT_EQ(r.rowNumber(), i);
                EXPECT_EQ(r.rowSize(), rowSize);
                EXPECT_EQ(r.address(), static_cast<std::uint32_t>(i * rowSize * 2));
            } else if (i < 1664) {
                EXPECT_EQ(r.kind(), RowKind::Eeprom);
                EXPECT_EQ(r.rowNumber(), i - 1536);
                EXPECT_EQ(r.rowSize(), 16);
                EXPECT_EQ(r.address(), 0x7FF000u + 32u * (i - 1536));
            } else {
                EXPECT_EQ(r.kind(), RowKind::Configuration);
                EXPECT_EQ(r.rowNumber(), i - 1664);
                EXPECT_EQ(r.address(), 0xF80000u + 2u * (i - 1664));
            }
        }
    }
}

TEST(FirmwareImage, FindsTheFirstAcceptingRowAtEveryBoundary) {
    for (int family : {0, 2}) {
        SCOPED_TRACE(family);
        const FirmwareImage image(family);
        const std::uint32_t programEnd = 1536u * image.programRowSize() * 2;
        std::vector<std::uint32_t> probes = {
            0,          1,         63,       64,       1023,     1024,     programEnd - 1,
            programEnd, 0x7FEFFF,  0x7FF000, 0x7FF01F, 0x7FF020, 0x7FFFFF, 0x800000,
            0xF7FFFF,   0xF80000,  0xF80001, 0xF80002, 0xF8000F, 0xF80010, 0xFFFFFF,
            0x7FFFFFFF, 0xFFFFFFFF};
        for (auto a : probes)
            EXPECT_EQ(image.rowFor(a), firstAcceptingRow(image, a)) << a;
    }
}

TEST(FirmwareImage, StoresWordsInProgramEepromAndConfigurationRows) {
    FirmwareImage image(2);
    EXPECT_TRUE(image.storeWord(0x7FF000, 0x1234));
    EXPECT_FALSE(image.row(1536).empty());
    EXPECT_EQ(image.row(1536).word(0), 0x1234);

    EXPECT_TRUE(image.storeWord(0xF80000, 0xABCD));
    EXPECT_FALSE(image.row(1664).empty());
    EXPECT_TRUE(image.storeWord(0xF8000F, 0x0102));
    EXPECT_EQ(image.row(1671).word(1), 0x0102);
    for (std::uint32_t a : {0xF80010u, 0xF80020u, 0x800000u, 0x180000u})
        EXPECT_FALSE(image.storeWord(a, 1)) << std::hex << a;

    EXPECT_TRUE(image.storeWord(0x17FFFF, 0x5555)); // last word of the last program row
    EXPECT_EQ(image.row(1535).word(1023), 0x5555);
    EXPECT_EQ(image.wordAt(0x17FFFE), ImageRow::kErased);
    EXPECT_EQ(image.nonEmptyRowCount(), 4);
}

TEST(FirmwareImage, FamilyZeroRowsAreThirtyTwoInstructions) {
    FirmwareImage image(0);
    EXPECT_TRUE(image.storeWord(64, 7));
    EXPECT_EQ(image.row(1).word(0), 7);
    EXPECT_TRUE(image.storeWord(1536 * 64 - 1, 8));
    EXPECT_FALSE(image.storeWord(1536 * 64, 9));
    image.formatRows(sirvexPolicy());
    EXPECT_EQ(image.row(1).bytes().size(), 96);
}

TEST(FirmwareImage, FormatsProgramRowsAsThreeBytesPerInstruction) {
    FirmwareImage image(2);
    // File bytes 11 22 33 44 | 55 66 77 88 for instructions 0 and 1 of row 1.
    image.storeWord(1024, 0x1122);
    image.storeWord(1025, 0x3344);
    image.storeWord(1026, 0x5566);
    image.storeWord(1027, 0x7788);
    image.formatRows(tamrixPolicy());
    EXPECT_TRUE(image.row(0).bytes().isEmpty()) << "empty rows stay unformatted";
    const auto bytes = bytesOf(image.row(1));
    ASSERT_EQ(bytes.size(), 1536u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 9),
              (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x55, 0x66, 0x77, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytes.back(), 0xFF);
}

TEST(FirmwareImage, FormatsConfigurationRows) {
    FirmwareImage image(2);
    image.storeWord(0xF80004, 0xC3A5);
    image.storeWord(0xF80005, 0x7E01);
    image.formatRows(sirvexPolicy());
    EXPECT_EQ(bytesOf(image.row(1666)), (std::vector<std::uint8_t>{0xC3, 0xA5, 0x7E}));
    EXPECT_TRUE(image.row(1664).bytes().isEmpty());
    EXPECT_EQ(image.row(1664).bytesOrErased(), QByteArray(3, '\xFF'));
    EXPECT_EQ(image.row(1666).bytesOrErased(), image.row(1666).bytes());
}

TEST(FirmwareImage, FormatsEepromRowsTheWayEachBuildDoes) {
    for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()}) {
        SCOPED_TRACE(policy->programName);
        FirmwareImage image(2);
        for (std::uint16_t i = 0; i < 32; ++i)
            image.storeWord(0x7FF020 + i, static_cast<std::uint16_t>(0x0100 * i + 0x80 + i));
        image.formatRows(*policy);
        const auto bytes = bytesOf(image.row(1537));
        ASSERT_EQ(bytes.size(), 32u);
        const int stride = policy->build == Build::Tamrix ? 2 : 1;
        for (int i = 0; i < 16; ++i) {
            const int w = stride * i;
            EXPECT_EQ(bytes[2 * i], w) << i;
            EXPECT_EQ(bytes[2 * i + 1], 0x80 + w) << i;
        }
    }
}

TEST(FirmwareImage, PreservesTheTargetsResetInstructions) {
    FirmwareImage image(2);
    image.storeWord(0, 0x0102); // the file's own reset vector gives way
    image.storeWord(4, 0x4444); // the rest of the row stays
    image.preserveResetWords({0xA0, 0xA1, 0xA2, 0xB0, 0xB1, 0xB2});
    EXPECT_EQ(image.wordAt(0), 0xA2A1);
    EXPECT_EQ(image.wordAt(1), 0xA000);
    EXPECT_EQ(image.wordAt(2), 0xB2B1);
    EXPECT_EQ(image.wordAt(3), 0xB000);
    EXPECT_EQ(image.wordAt(4), 0x4444);

    FirmwareImage blank(0);
    blank.preserveResetWords({1, 2, 3, 4, 5, 6});
    EXPECT_FALSE(blank.row(0).empty());
    blank.formatRows(sirvexPolicy());
    const auto bytes = bytesOf(blank.row(0));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 6),
              (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4}));
}
