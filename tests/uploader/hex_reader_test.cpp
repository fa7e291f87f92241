// The HEX reader and the image it fills: hand-made records for each rule, and files made by
// srec_cat and objcopy whose every word must be what the tool was given (random and malformed
// files are the hex_image fuzz target's).
#include "hex_reader.h"
#include "hex_text.h"
#include "qt_print.h"
#include "tool_made_files.h"

#include <QBuffer>
#include <map>
#include <optional>

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

Read readLines(const std::vector<std::string>& lines, const BuildPolicy& policy, int family = 2) {
    Read r;
    r.image = FirmwareImage(family);
    QByteArray text;
    for (const auto& l : lines)
        text += QByteArray::fromStdString(l) + "\n";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    r.result = readHex(buffer, r.image, policy,
                       {.lineRange = [&](int n) { r.range = n; },
                        .lineDone = [&](int n) { r.steps.push_back(n); },
                        .notice = [&](const QString& t) { r.shown << t; }});
    return r;
}

const BuildPolicy* const S = &sirvexPolicy();
const BuildPolicy* const T = &tamrixPolicy();

} // namespace

TEST(HexReader, EachBuildReadsRecordsItsOwnWay) {
    const QString unknown = "Progress: Unknown hex record type.";
    struct Case {
        const BuildPolicy* policy; // nullptr: both builds alike
        std::vector<std::string> lines;
        QString error;                                // "" = read to the end
        std::map<std::uint32_t, std::uint16_t> words; // device address -> word afterwards
        QStringList shown = {};                       // notices on the way
        int family = 2;
        bool endRecord = true; // the file ends with its end record
    };
    // Device 0xF8000E .. 0xF80011: two configuration words, then past the last row.
    const auto pastConfiguration = dataRecord(0x001C, {1, 2, 3, 4, 5, 6, 7, 8});
    auto wrongSum = dataRecord(0, {0x12, 0x34});
    wrongSum.replace(wrongSum.size() - 2, 2, "00");
    const std::vector<std::string> family0End = {linearBase(0x0002), dataRecord(0xFFFE, {1, 2}),
                                                 linearBase(0x0003), dataRecord(0, {3, 4})};
    const auto noColon = dataRecord(0, {0xAB, 0xCD}).substr(1); // reads as count 0x20, type 0x0A
    const std::string eepromEdge = linearBase(0x00FF);          // device 0x7F8000 ..
    // clang-format off
    std::vector<Case> cases = {
        {nullptr, {dataRecord(0x0010, {0x12, 0x34, 0x56, 0x78}), eepromEdge, dataRecord(0xE000, {0xEE, 0x01}),
                   linearBase(0x01F0), dataRecord(0x0000, {0xC0, 0x01, 0xC0, 0x02}), endOfFile()},
         "", {{8, 0x1234}, {9, 0x5678}, {0x7FF000, 0xEE01}, {0xF80000, 0xC001}, {0xF80001, 0xC002}}},
        {nullptr, {endOfFile(), dataRecord(0, {0xAB, 0xCD})}, "", {{0, 0xABCD}}},
        // A damaged record stops the read before anything is sent, as does a file cut short.
        {nullptr, {dataRecord(0x40, {1, 1}), wrongSum, dataRecord(0, {5, 5})},
         "Bad Hex file: line 2 checksum", {{0x20, 0x0101}, {0, 0xFFFF}}},
        {nullptr, {dataRecord(0x40, {1, 1})}, "Bad Hex file: no end record", {{0x20, 0x0101}},
         {}, 2, false},
        // Each byte at its own address: records at odd addresses, one overwriting another's
        // byte, one running over a 64 KB boundary without a new base.
        {nullptr, {dataRecord(0x0001, {0xAA, 0xBB, 0xCC, 0xDD}), dataRecord(0x0010, {0x11, 0x22}),
                   dataRecord(0x0011, {0x33, 0x44}), dataRecord(0xFFFE, {1, 2, 3, 4})},
         "", {{0, 0xFFAA}, {1, 0xBBCC}, {2, 0xDDFF}, {8, 0x1133}, {9, 0x44FF}, {0x7FFF, 0x0102},
              {0x8000, 0x0304}}},
        {S, {linearBase(0x01F0), dataRecord(0x001D, {1, 2, 3, 4})},
         "Bad Hex file: 0xf80010Address out of range", {{0xF8000E, 0xFF01}, {0xF8000F, 0x0203}}},
        {S, {linearBase(0x01F0), pastConfiguration, dataRecord(0, {9, 9})},
         "Bad Hex file: 0xf80010Address out of range", {{0xF8000F, 0x0304}, {0xF80000, 0xFFFF}}},
        {T, {linearBase(0x01F0), pastConfiguration, linearBase(0x0030), dataRecord(0, {0xAA, 0xBB}),
             linearBase(0x01F0), dataRecord(0, {9, 9})},
         "", {{0xF8000F, 0x0304}, {0xF80000, 0x0909}},
         {"Bad Hex file: 0xF80010 Address out of range.", "Bad Hex file: 0x180000 Address out of range."}},
        // EEPROM rows fill device 0x7FF000 .. 0x7FFFFF.
        {S, {eepromEdge, dataRecord(0xDFFE, {1, 2})}, "Bad Hex file: 0x7fefffAddress out of range", {}},
        {S, {eepromEdge, dataRecord(0xFFFE, {1, 2}), linearBase(0x0100), dataRecord(0, {3, 4})},
         "Bad Hex file: 0x800000Address out of range", {{0x7FFFFF, 0x0102}}},
        // Family 0 programs end at device 0x18000 (1536 rows of 64 addresses).
        {S, family0End, "Bad Hex file: 0x18000Address out of range", {{0x17FFF, 0x0102}}, {}, 0},
        {S, family0End, "", {{0x18000, 0x0304}}},
        // Read from its second character a line without its colon has the wrong length.
        {nullptr, {noColon}, "Bad Hex file: line 1 is malformed", {{0, 0xFFFF}}},
        {T, {"#" + noColon}, "", {{0, 0xABCD}}}, // any first character stands in for the colon
        {T, {"\r", ":02000000abcd86\r", "   \r", endOfFile() + "\r"}, "", {{0, 0xABCD}}},
        // Well-formed records still refused: an odd count (its last byte would have no partner),
        // a linear address of three bytes. Any other malformed line is a hex_image regression.
        {nullptr, {dataRecord(0x40, {1, 1}), dataRecord(0x0100, {0xAA, 0xBB, 0xCC})},
         "Bad Hex file: line 2 is malformed", {{0x20, 0x0101}, {0x80, 0xFFFF}}},
        {nullptr, {hexRecord(4, 0, {0, 1, 2}), dataRecord(0, {5, 5})}, "Bad Hex file: line 1 is malformed", {{0, 0xFFFF}}},
        // Just under the length limit a line is still read.
        {S, {dataRecord(0, {1, 2}) + std::string(4095 - 15, ' ')}, "", {{0, 0x0102}}},
    };
    // clang-format on
    // A segment address: a notice in the current build (the base stays), the end in the earlier.
    const std::vector<std::string> seg = {dataRecord(0, {1, 2}), hexRecord(2, 0, {16, 0}),
                                          dataRecord(2, {3, 4})};
    cases.push_back({S, seg, "", {{0, 0x0102}, {1, 0x0304}}, {unknown}});
    cases.push_back({T, seg, "Unknown hex record type", {{0, 0x0102}, {1, 0xFFFF}}});
    for (const auto& k : cases) {
        for (const auto* policy : {S, T}) {
            if (k.policy && k.policy != policy) continue;
            SCOPED_TRACE(policy->programName +
                         (" " + (k.lines.empty() ? "" : k.lines.front())).substr(0, 80));
            auto lines = k.lines;
            if (k.endRecord) lines.push_back(endOfFile());
            const auto r = readLines(lines, *policy, k.family);
            EXPECT_EQ(r.result.error, k.error);
            EXPECT_EQ(r.shown, k.shown);
            EXPECT_EQ(r.result.notices, k.shown);
            for (const auto& [address, word] : k.words)
                EXPECT_EQ(r.image.wordAt(address), word) << std::hex << address;
        }
    }
}

TEST(HexReader, ReportsProgressOncePerLineAndKeepsNoticesBounded) {
    const auto read = readLines({dataRecord(0, {1, 2}), hexRecord(5, 0, {0, 0}), endOfFile()}, *S);
    EXPECT_EQ(std::pair(read.range, read.steps), std::pair(3, std::vector<int>{1, 2, 3}));
    // An overlong line counts once, and the read ends on it.
    const auto cut = readLines({":02000000ABCD" + std::string(5000, '0'), endOfFile()}, *S);
    EXPECT_EQ(std::pair(cut.range, cut.steps), std::pair(2, std::vector<int>{1}));
    // A flood of out-of-range records is shown one by one but kept in a bounded list.
    std::vector<std::string> flood = {linearBase(0x1000)};
    for (int i = 0; i < 500; ++i)
        flood.push_back(dataRecord(std::uint16_t(4 * i), {1, 2}));
    const auto r = readLines(flood, tamrixPolicy());
    EXPECT_EQ(r.shown.size(), 500);
    EXPECT_EQ(r.result.bytesOutOfRange, 500);
    EXPECT_EQ(r.result.notices.size(), 100);
    // A reader that has failed takes no more lines.
    FirmwareImage image(2);
    HexReader reader(image, *S);
    EXPECT_FALSE(reader.readLine(":"));
    EXPECT_FALSE(reader.readLine(dataRecord(0, {1, 2})));
    EXPECT_EQ(std::pair(reader.result().lines, image.wordAt(0)),
              std::pair(1, std::uint16_t(0xFFFF)));
}

TEST(FirmwareImage, AFileWithoutRow0StillGetsTheTargetsResetInstructions) {
    FirmwareImage image(0);
    image.preserveResetWords({1, 2, 3, 4, 5, 6});
    image.formatRows(sirvexPolicy());
    ASSERT_EQ(image.row(0).bytes().size(), 96);
    EXPECT_EQ(image.row(0).bytes().left(9).toHex(), "030201060504ffffff");
}

TEST(FirmwareImage, FormatsEepromRowsEachBuildsWay) {
    for (const auto* policy : {S, T}) {
        SCOPED_TRACE(policy->programName);
        FirmwareImage image(2);
        for (std::uint16_t i = 0; i < 32; ++i)
            image.storeWord(0x7FF020 + i, std::uint16_t(0x0100 * i + 0x80 + i));
        image.formatRows(*policy);
        // Words 0..15, or in the earlier build every second word: the first two bytes of each
        // four-byte group of the file.
        const int stride = policy == T ? 2 : 1;
        QByteArray want;
        for (int i = 0; i < 16; ++i)
            want.append(char(stride * i)).append(char(0x80 + stride * i));
        EXPECT_EQ(image.row(1537).bytes(), want);
    }
}

TEST(ToolMadeHex, EveryWordIsWhatTheToolWasGivenAndNothingElse) {
    // The earlier build stops on the start and segment address records of objcopy (types 5, 2
    // and 3); the current one passes over them.
    // clang-format off
    const std::pair<const char*, bool> files[] = {{"srec_blocks.hex", true}, {"srec_high16.hex", true},
        {"srec_upload.hex", true}, {"objcopy_high.hex", true}, {"objcopy_start5.hex", false},
        {"objcopy_segment.hex", false}};
    // clang-format on
    for (const auto& [name, earlierReads] : files) {
        const FileBytes bytes = toolGivenBytes(name);
        const auto byteAt = [&](std::uint32_t a) {
            const auto it = bytes.find(a);
            return it == bytes.end() ? std::optional<std::uint8_t>() : it->second;
        };
        for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()}) {
            SCOPED_TRACE(std::string(name) + " " + policy->programName);
            FirmwareImage image(2);
            const auto result = readHexFile(kFixtures + name, image, *policy);
            if (policy == &tamrixPolicy() && !earlierReads) {
                EXPECT_EQ(result.failure, HexFailure::UnknownRecord);
                continue;
            }
            ASSERT_TRUE(result.ok()) << result.error;
            if (bytes.empty()) { // segment addresses: not understood, only passed over
                EXPECT_GE(result.unknownRecords, 2);
                continue;
            }
            EXPECT_EQ(result.bytesStored, int(bytes.size()));
            // Word d holds file bytes 2d (high half) and 2d + 1 (low half); a half no byte
            // was given for stays erased.
            for (const auto& row : image.rows()) {
                bool touched = false;
                for (std::uint32_t off = 0; off < row.span(); ++off) {
                    const std::uint32_t d = row.address() + off;
                    const auto hi = byteAt(2 * d), lo = byteAt(2 * d + 1);
                    touched |= hi || lo;
                    ASSERT_EQ(row.word(off), hi.value_or(0xFF) << 8 | lo.value_or(0xFF))
                        << std::hex << "device address 0x" << d;
                }
                EXPECT_EQ(row.empty(), !touched) << std::hex << "row at 0x" << row.address();
            }
        }
    }
}
