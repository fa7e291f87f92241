// Files made by srec_cat and objcopy (fixtures/make_fixtures.sh), not by our own code: every
// word of the image must be what the tool was given.
#include "hex_reader.h"
#include "qt_print.h"

#include <QFile>
#include <map>

#include <gtest/gtest.h>

using namespace vorna::uploader;

namespace {

const QString kFixtures = VORNA_UPLOADER_FIXTURES "/";

QByteArray fileBytes(const QString& name) {
    QFile f(kFixtures + name);
    if (!f.open(QIODevice::ReadOnly)) ADD_FAILURE() << "missing fixture " << name;
    return f.readAll();
}

// Device address -> word, for every block the manifest places in a HEX file.
std::map<std::uint32_t, std::uint16_t> expectedWords(const QString& hexName) {
    std::map<std::uint32_t, std::uint16_t> words;
    for (const auto& line : QString(fileBytes("manifest.txt")).split('\n')) {
        const auto parts = line.split(' ', Qt::SkipEmptyParts);
        if (parts.size() != 3 || parts[0] != hexName) continue;
        const auto data = fileBytes(parts[1]);
        const auto base = parts[2].toUInt(nullptr, 16);
        for (qsizetype i = 0; i + 1 < data.size(); i += 2)
            words[std::uint32_t((base + i) / 2)] =
                std::uint16_t(std::uint8_t(data[i]) << 8 | std::uint8_t(data[i + 1]));
    }
    return words;
}

} // namespace

TEST(ToolMadeHex, EveryWordIsWhatTheToolWasGivenAndNothingElse) {
    // The earlier build stops on the start and segment address records of objcopy (types 5, 2
    // and 3); the current one passes over them.
    // clang-format off
    const std::pair<const char*, bool> files[] = {{"srec_blocks.hex", true}, {"srec_high16.hex", true},
        {"objcopy_high.hex", true}, {"objcopy_start5.hex", false}, {"objcopy_segment.hex", false}};
    // clang-format on
    for (const auto& [name, earlierReads] : files) {
        const auto words = expectedWords(name);
        for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()}) {
            SCOPED_TRACE(std::string(name) + " " + policy->programName);
            FirmwareImage image(2);
            const auto result = readHexFile(kFixtures + name, image, *policy);
            if (policy == &tamrixPolicy() && !earlierReads) {
                EXPECT_EQ(result.failure, HexFailure::UnknownRecord);
                continue;
            }
            ASSERT_TRUE(result.ok()) << result.error;
            if (words.empty()) { // segment addresses: not understood, only passed over
                EXPECT_GE(result.unknownRecords, 2);
                continue;
            }
            EXPECT_EQ(result.wordsStored, int(words.size()));
            for (const auto& row : image.rows()) {
                bool touched = false;
                for (std::uint32_t off = 0; off < row.span(); ++off) {
                    const auto it = words.find(row.address() + off);
                    touched |= it != words.end();
                    ASSERT_EQ(row.word(off), it == words.end() ? ImageRow::kErased : it->second)
                        << std::hex << "device address 0x" << row.address() + off;
                }
                EXPECT_EQ(row.empty(), !touched) << std::hex << "row at 0x" << row.address();
            }
        }
    }
}
