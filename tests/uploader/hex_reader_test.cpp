#include "hex_reader.h"
#include "hex_text.h"
#include "qt_print.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorna::uploader;
using namespace vorna::uploader::test;

namespace {

struct Read {
    FirmwareImage image{2};
    HexReadResult result;
    QStringList shown; // notices as the window would show them
    std::vector<int> steps;
    int range = -1;
};

Read readLines(const std::vector<std::string>& lines, const BuildPolicy& policy, int family = 2,
               const char* eol = "\n") {
    Read r;
    r.image = FirmwareImage(family);
    QByteArray text;
    for (const auto& l : lines)
        text += QByteArray::fromStdString(l) + eol;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    HexReadCallbacks callbacks{
        .lineRange = [&](int n) { r.range = n; },
        .lineDone = [&](int n) { r.steps.push_back(n); },
        .notice = [&](const QString& t) { r.shown << t; },
    };
    r.result = readHex(buffer, r.image, policy, callbacks);
    return r;
}

const std::vector<const BuildPolicy*> kBoth = {&sirvexPolicy(), &tamrixPolicy()};

} // namespace

TEST(HexReader, DataEndAndLinearAddressRecordsPassInBothBuilds) {
    for (const auto* policy : kBoth) {
        SCOPED_TRACE(policy->programName);
        const auto r = readLines({dataRecord(0x0010, {0x12, 0x34, 0x56, 0x78}), linearBase(0x00FF),
                                  dataRecord(0xE000, {0xEE, 0x01}), // EEPROM row 0
                                  linearBase(0x01F0),
                                  dataRecord(0x0000, {0xC0, 0x01, 0xC0, 0x02}), // configuration
                                  endOfFile()},
                                 *policy);
        ASSERT_TRUE(r.result.ok()) << r.result.error.toStdString();
        EXPECT_EQ(r.result.wordsStored, 5);
        EXPECT_TRUE(r.result.notices.isEmpty());
        EXPECT_EQ(r.image.wordAt(8), 0x1234);
        EXPECT_EQ(r.image.wordAt(9), 0x5678);
        EXPECT_EQ(r.image.row(1536).word(0), 0xEE01);
        EXPECT_EQ(r.image.row(1664).word(0), 0xC001);
        EXPECT_EQ(r.image.row(1664).word(1), 0xC002);
        EXPECT_EQ(r.image.nonEmptyRowCount(), 3);
    }
}

TEST(HexReader, KeepsReadingAfterTheEndOfFileRecord) {
    for (const auto* policy : kBoth) {
        const auto r = readLines({endOfFile(), dataRecord(0, {0xAB, 0xCD})}, *policy);
        EXPECT_TRUE(r.result.ok());
        EXPECT_EQ(r.image.wordAt(0), 0xABCD);
    }
}

TEST(HexReader, OtherRecordTypesAreANoticeInTheCurrentBuildAndTheEndInTheEarlier) {
    for (int type : {2, 3, 5}) {
        SCOPED_TRACE(type);
        const std::vector<std::string> lines = {
            dataRecord(0, {1, 2}), hexRecord(type, 0, {0x10, 0x00, 0, 0}), dataRecord(2, {3, 4})};
        const auto current = readLines(lines, sirvexPolicy());
        EXPECT_TRUE(current.result.ok());
        EXPECT_EQ(current.shown, QStringList{"Progress: Unknown hex record type."});
        EXPECT_EQ(current.result.unknownRecords, 1);
        EXPECT_EQ(current.image.wordAt(1), 0x0304) << "the base is not changed by the record";

        const auto earlier = readLines(lines, tamrixPolicy());
        EXPECT_EQ(earlier.result.failure, HexFailure::UnknownRecord);
        EXPECT_EQ(earlier.result.error, "Unknown hex record type");
        EXPECT_EQ(earlier.result.lines, 2);
        EXPECT_EQ(earlier.image.wordAt(1), 0xFFFF);
    }
}

TEST(HexReader, OutOfRangeWordEndsTheCurrentBuildsRead) {
    // Device 0xF8000E .. 0xF80011: two configuration words, then past the last row.
    const std::vector<std::string> lines = {linearBase(0x01F0),
                                            dataRecord(0x001C, {1, 2, 3, 4, 5, 6, 7, 8}),
                                            dataRecord(0x0000, {9, 9})};
    const auto r = readLines(lines, sirvexPolicy());
    EXPECT_EQ(r.result.failure, HexFailure::OutOfRange);
    EXPECT_EQ(r.result.error, "Bad Hex file: 0xf80010Address out of range");
    EXPECT_EQ(r.result.lines, 2);
    EXPECT_EQ(r.steps, (std::vector<int>{1, 2}));
    EXPECT_EQ(r.image.wordAt(0xF80000), 0xFFFF) << "nothing after the failure is read";
}

TEST(HexReader, OutOfRangeWordDropsTheRestOfTheRecordInTheEarlierBuild) {
    const std::vector<std::string> lines = {
        linearBase(0x01F0), dataRecord(0x001C, {1, 2, 3, 4, 5, 6, 7, 8}),
        linearBase(0x0030), dataRecord(0x0000, {0xAA, 0xBB}), // device 0x180000: past family 2
        linearBase(0x01F0), dataRecord(0x0000, {9, 9})};
    const auto r = readLines(lines, tamrixPolicy());
    ASSERT_TRUE(r.result.ok());
    EXPECT_EQ(r.shown, (QStringList{"Bad Hex file: 0xF80010 Address out of range.",
                                    "Bad Hex file: 0x180000 Address out of range."}));
    EXPECT_EQ(r.result.notices, r.shown);
    EXPECT_EQ(r.result.wordsOutOfRange, 2);
    EXPECT_EQ(r.image.row(1671).word(0), 0x0102);
    EXPECT_EQ(r.image.row(1671).word(1), 0x0304);
    EXPECT_EQ(r.image.wordAt(0xF80000), 0x0909);
    EXPECT_TRUE(r.steps.empty()) << "the earlier build shows no line progress";
    EXPECT_EQ(r.range, -1);
}

TEST(HexReader, FamilyZeroProgramEndsAt1536RowsOf64Units) {
    // HEX byte address 0x30000 = device 0x18000 = 1536 x 64.
    const std::vector<std::string> lines = {linearBase(0x0002), dataRecord(0xFFFE, {1, 2}),
                                            linearBase(0x0003), dataRecord(0x0000, {3, 4})};
    const auto small = readLines(lines, sirvexPolicy(), 0);
    EXPECT_EQ(small.result.failure, HexFailure::OutOfRange);
    EXPECT_EQ(small.image.row(1535).word(63), 0x0102);
    EXPECT_EQ(small.result.error, "Bad Hex file: 0x18000Address out of range");

    const auto large = readLines(lines, sirvexPolicy(), 2);
    EXPECT_TRUE(large.result.ok());
    EXPECT_EQ(large.image.wordAt(0x18000), 0x0304);
}

TEST(HexReader, IgnoresTheChecksumAndUsesWhatAnOddByteCountYields) {
    auto wrong = dataRecord(0, {0x12, 0x34});
    wrong.replace(wrong.size() - 2, 2, "00");
    // Three bytes: the second word runs into the two checksum digits (here "7F").
    auto odd = dataRecord(0x0100, {0xAA, 0xBB, 0xCC});
    odd.replace(odd.size() - 2, 2, "7F");
    for (const auto* policy : kBoth) {
        const auto r = readLines({wrong, odd}, *policy);
        ASSERT_TRUE(r.result.ok());
        EXPECT_EQ(r.image.wordAt(0), 0x1234);
        EXPECT_EQ(r.image.wordAt(0x80), 0xAABB);
        EXPECT_EQ(r.image.wordAt(0x81), 0xCC7F);
    }
    // Without a checksum the last group takes the two digits there are, as a "%4hx" would.
    const auto bare = readLines({":03000000AABBCC"}, sirvexPolicy());
    EXPECT_EQ(bare.image.wordAt(1), 0x00CC);
}

TEST(HexReader, ReadsALineMissingItsColonShifted) {
    // ":02000000ABCD" without the colon: the header then reads count 0x20, type 0x0A.
    auto line = dataRecord(0, {0xAB, 0xCD}).substr(1);
    const auto current = readLines({line}, sirvexPolicy());
    EXPECT_TRUE(current.result.ok());
    EXPECT_EQ(current.result.unknownRecords, 1);
    EXPECT_EQ(readLines({line}, tamrixPolicy()).result.failure, HexFailure::UnknownRecord);
    // Any first character stands in for the colon.
    EXPECT_EQ(readLines({"#" + line}, tamrixPolicy()).image.wordAt(0), 0xABCD);
}

TEST(HexReader, TruncatedOrGarbledRecordsEndTheReadWithoutStoringAnyOfThem) {
    const std::vector<std::string> bad = {
        ":1000000001020304", // fewer bytes than the count promises
        ":FF00000000",       // a huge count on a short line
        ":0G000000",         // non-hex header
        ":02000000AB",       // data cut inside the second byte
        ":0400000012Z45678", // non-hex data
        ":020000",           // header cut short
        ":",                 // colon alone
        ":02000004",         // linear address without its value
    };
    for (const auto* policy : kBoth) {
        for (const auto& line : bad) {
            SCOPED_TRACE(line);
            const auto r =
                readLines({dataRecord(0x40, {1, 1}), line, dataRecord(0, {5, 5})}, *policy);
            EXPECT_EQ(r.result.failure, HexFailure::Malformed);
            EXPECT_EQ(r.result.error, "Bad Hex file: line 2 is malformed");
            EXPECT_EQ(r.image.wordAt(0), 0xFFFF);
            EXPECT_EQ(r.image.nonEmptyRowCount(), 1);
        }
    }
}

TEST(HexReader, AcceptsCrLfLowerCaseAndBlankLines) {
    const auto r =
        readLines({"", ":02000000abcd86", "   ", endOfFile(), ""}, tamrixPolicy(), 2, "\r\n");
    ASSERT_TRUE(r.result.ok()) << r.result.error.toStdString();
    EXPECT_EQ(r.image.wordAt(0), 0xABCD);
}

TEST(HexReader, RejectsOverlongLinesAndReadsOnCorrectlyAfterThem) {
    const std::string longLine = ":02000000ABCD" + std::string(5000, '0');
    const auto r = readLines({longLine, dataRecord(0, {1, 2})}, sirvexPolicy());
    EXPECT_EQ(r.result.failure, HexFailure::Malformed);
    EXPECT_EQ(r.result.lines, 1);
    EXPECT_EQ(r.range, 2) << "the long line counts once";

    // Just under the limit is still a line.
    const std::string edge = dataRecord(0, {1, 2}) + std::string(4095 - 15, ' ');
    ASSERT_EQ(edge.size(), 4095u);
    EXPECT_TRUE(readLines({edge}, sirvexPolicy()).result.ok());
}

TEST(HexReader, CurrentBuildCountsLinesFirstAndStepsOncePerLine) {
    const auto r = readLines(
        {dataRecord(0, {1, 2}), hexRecord(5, 0, {0, 0, 0, 0}), dataRecord(2, {1, 2}), endOfFile()},
        sirvexPolicy());
    EXPECT_TRUE(r.result.ok());
    EXPECT_EQ(r.range, 4);
    EXPECT_EQ(r.steps, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(r.result.lines, 4);
}

TEST(HexReader, FileThatCannotBeOpenedIsAnInvalidTargetFile) {
    QTemporaryDir dir;
    for (const auto* policy : kBoth) {
        FirmwareImage image(2);
        for (const QString& path : {dir.filePath("missing.hex"), QString(), dir.path()}) {
            const auto r = readHexFile(path, image, *policy);
            EXPECT_EQ(r.failure, HexFailure::CannotOpen);
            EXPECT_EQ(r.error, "Invalid Target File");
        }
    }
}

TEST(HexReader, ManyOutOfRangeRecordsKeepABoundedNoticeList) {
    std::vector<std::string> lines = {linearBase(0x1000)};
    for (int i = 0; i < 500; ++i)
        lines.push_back(dataRecord(static_cast<std::uint16_t>(4 * i), {1, 2}));
    const auto r = readLines(lines, tamrixPolicy());
    EXPECT_EQ(r.shown.size(), 500);
    EXPECT_EQ(r.result.wordsOutOfRange, 500);
    EXPECT_EQ(r.result.notices.size(), 100);
}
