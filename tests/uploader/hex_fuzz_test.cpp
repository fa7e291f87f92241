// Seeded random malformed input for the HEX reader: it must never crash, read out of bounds,
// hang, or store a word no record asked for. Run under the sanitizer build as well.
#include "hex_reader.h"
#include "hex_text.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace vorna::uploader;
using namespace vorna::uploader::test;

namespace {

// A record of a random type and data, then often broken: no colon, cut short, a junk character,
// a huge byte count, a long tail of junk, or random bytes altogether.
std::string randomLine(std::mt19937& rng) {
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
    const auto junk = [&] { return "Gz:- \t\r\x7F\x80\xFFxX0\0"[pick(0, 13)]; };
    std::vector<std::uint8_t> data(size_t(pick(0, 40)));
    for (auto& b : data)
        b = std::uint8_t(pick(0, 255));
    static const int types[] = {0, 0, 0, 0, 1, 4, 4, 2, 3, 5, 0xFF};
    std::string line = hexRecord(types[pick(0, 10)], std::uint16_t(pick(0, 0xFFFF)), data);
    const int how = pick(0, 9);
    if (how == 0) return line.substr(1);
    if (how == 1) return line.substr(0, size_t(pick(0, int(line.size()))));
    if (how == 2) line[size_t(pick(0, int(line.size()) - 1))] = junk();
    if (how == 3) line.replace(1, 2, "FF");
    if (how == 4) line += std::string(size_t(pick(0, 6000)), junk());
    if (how == 5)
        for (auto& c : line.assign(size_t(pick(0, 80)), '\0'))
            c = char(pick(0, 255));
    return line;
}

} // namespace

TEST(HexReaderFuzz, MalformedLinesNeverBreakTheReader) {
    int failures = 0, stored = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::vector<std::string> lines;
        QByteArray text;
        for (int i = 0; i < 60; ++i)
            text += QByteArray::fromStdString(lines.emplace_back(randomLine(rng))) +
                    (seed % 3 ? "\n" : "\r\n");
        for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()}) {
            FirmwareImage image(int(seed % 4));
            QBuffer buffer(&text);
            buffer.open(QIODevice::ReadOnly);
            const auto result = readHex(buffer, image, *policy);
            EXPECT_EQ(result.ok(), result.error.isEmpty());
            EXPECT_LE(result.lines, text.count('\n'));
            EXPECT_LE(image.nonEmptyRowCount(), result.wordsStored);

            // Every line, through a fresh reader after each failure, so lines behind a bad one
            // are exercised too. A failed reader takes no more lines.
            FirmwareImage direct(int(seed % 4));
            std::optional<HexReader> reader(std::in_place, direct, *policy);
            for (const auto& l : lines) {
                if (reader->readLine(l)) continue;
                EXPECT_FALSE(reader->readLine(dataRecord(0, {1, 2})));
                EXPECT_FALSE(reader->result().error.isEmpty());
                ++failures;
                stored += reader->result().wordsStored;
                reader.emplace(direct, *policy);
            }
            stored += reader->result().wordsStored;
            direct.formatRows(*policy);
        }
    }
    // The generator must reach both outcomes, or the loop proves little.
    EXPECT_GT(failures, 1000);
    EXPECT_GT(stored, 10000);
}
