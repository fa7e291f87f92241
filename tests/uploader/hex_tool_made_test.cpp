// Files made by srec_cat and objcopy, not by our own code: every word of the image must be what
// the tool was given.
#include "hex_reader.h"
#include "qt_print.h"
#include "tool_made_files.h"

#include <optional>

#include <gtest/gtest.h>

using namespace vorna::uploader;
using namespace vorna::uploader::test;

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
