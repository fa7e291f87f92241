// HEX files written by srec_cat and objcopy (fixtures/make_fixtures.sh) from seeded binary
// blocks: every word of the image must be what the tool was given, and nothing else.
#include "hex_reader.h"
#include "qt_print.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>

using namespace vorna::uploader;

namespace {

QString fixture(const QString& name) {
    return QStringLiteral(VORNA_UPLOADER_FIXTURES "/") + name;
}

QByteArray fileBytes(const QString& name) {
    QFile f(fixture(name));
    if (!f.open(QIODevice::ReadOnly)) ADD_FAILURE() << "missing fixture " << name.toStdString();
    return f.readAll();
}

// Device address -> word, for every block the manifest places in a HEX file.
std::map<std::uint32_t, std::uint16_t> expectedWords(const QString& hexName) {
    std::map<std::uint32_t, std::uint16_t> words;
    const auto manifest = QString::fromLatin1(fileBytes("manifest.txt")).split('\n');
    for (const auto& line : manifest) {
        const auto parts = line.split(' ', Qt::SkipEmptyParts);
        if (parts.size() != 3 || parts[0] != hexName) continue;
        const auto data = fileBytes(parts[1]);
        const auto base = parts[2].toUInt(nullptr, 16);
        EXPECT_EQ(base % 2, 0u);
        EXPECT_EQ(data.size() % 2, 0);
        for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
            const auto hi = static_cast<std::uint8_t>(data[i]);
            const auto lo = static_cast<std::uint8_t>(data[i + 1]);
            words[static_cast<std::uint32_t>((base + i) / 2)] =
                static_cast<std::uint16_t>(hi << 8 | lo);
        }
    }
    return words;
}

void expectImageHoldsExactly(const FirmwareImage& image,
                             const std::map<std::uint32_t, std::uint16_t>& words) {
    int checked = 0;
    for (const auto& row : image.rows()) {
        bool touched = false;
        for (std::uint32_t off = 0; off < row.span(); ++off) {
            const auto it = words.find(row.address() + off);
            const std::uint16_t want = it == words.end() ? ImageRow::kErased : it->second;
            touched |= it != words.end();
            checked += it != words.end();
            ASSERT_EQ(row.word(off), want)
                << std::hex << "device address 0x" << row.address() + off;
        }
        EXPECT_EQ(row.empty(), !touched) << "row at 0x" << std::hex << row.address();
    }
    EXPECT_EQ(checked, static_cast<int>(words.size()));
}

} // namespace

class ToolMadeHex : public ::testing::TestWithParam<const char*> {};

TEST_P(ToolMadeHex, EveryWordIsWhatTheToolWasGiven) {
    const QString name = GetParam();
    const auto words = expectedWords(name);
    ASSERT_FALSE(words.empty());
    FirmwareImage image(2);
    const auto result = readHexFile(fixture(name), image, sirvexPolicy());
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.wordsStored, static_cast<int>(words.size()));
    expectImageHoldsExactly(image, words);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ToolMadeHex,
                         ::testing::Values("srec_blocks.hex", "srec_high16.hex", "objcopy_high.hex",
                                           "objcopy_start5.hex"));

TEST(ToolMadeHexBuilds, EarlierBuildReadsLinearFilesAndStopsOnStartOrSegmentRecords) {
    for (const char* name : {"srec_blocks.hex", "srec_high16.hex", "objcopy_high.hex"}) {
        FirmwareImage image(2);
        const auto result = readHexFile(fixture(name), image, tamrixPolicy());
        ASSERT_TRUE(result.ok()) << name;
        expectImageHoldsExactly(image, expectedWords(name));
    }
    for (const char* name : {"objcopy_start5.hex", "objcopy_segment.hex"}) {
        FirmwareImage image(2);
        EXPECT_EQ(readHexFile(fixture(name), image, tamrixPolicy()).failure,
                  HexFailure::UnknownRecord)
            << name;
    }
    FirmwareImage image(2);
    const auto current = readHexFile(fixture("objcopy_segment.hex"), image, sirvexPolicy());
    EXPECT_TRUE(current.ok());
    EXPECT_GE(current.unknownRecords, 2); // segment base and start segment address
}

TEST(ToolMadeHexBuilds, FormattedRowsCarryThreeOfEachFourFileBytes) {
    FirmwareImage image(2);
    ASSERT_TRUE(readHexFile(fixture("srec_blocks.hex"), image, sirvexPolicy()).ok());
    image.formatRows(sirvexPolicy());
    // prog_low.bin sits at file address 0 and fills row 0 and half of row 1.
    const auto data = fileBytes("prog_low.bin");
    const auto& row0 = image.row(0).bytes();
    ASSERT_EQ(row0.size(), 1536);
    for (int i = 0; i < 512; ++i)
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(row0[3 * i + k], data[4 * i + k]) << i;
    const auto& row1 = image.row(1).bytes();
    EXPECT_EQ(row1.mid(0, 3), data.mid(2048, 3));
    EXPECT_EQ(row1.mid(3 * 256), QByteArray(3 * 256, '\xFF'));
    // config.bin: configuration row n holds file bytes 4n .. 4n+2.
    const auto config = fileBytes("config.bin");
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(image.row(1664 + n).bytes(), config.mid(4 * n, 3));
}
