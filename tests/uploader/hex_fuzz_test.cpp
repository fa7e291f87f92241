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

class LineMaker {
public:
    explicit LineMaker(std::uint32_t seed) : rng_(seed) {}

    std::string next() {
        std::vector<std::uint8_t> data(pick(0, 40));
        for (auto& b : data)
            b = static_cast<std::uint8_t>(pick(0, 255));
        std::string line = hexRecord(pickType(), static_cast<std::uint16_t>(pick(0, 0xFFFF)), data);
        switch (pick(0, 9)) {
        case 0:
            line.erase(0, 1);
            break; // missing colon
        case 1:
            line.resize(static_cast<std::size_t>(pick(0, static_cast<int>(line.size()))));
            break;
        case 2:
            line[static_cast<std::size_t>(pick(0, static_cast<int>(line.size()) - 1))] = junk();
            break;
        case 3:
            line.replace(1, 2, "FF");
            break; // huge byte count
        case 4:
            line += std::string(static_cast<std::size_t>(pick(0, 6000)), junk());
            break;
        case 5:
            line = randomBytes();
            break;
        default:
            break; // well formed
        }
        return line;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    int pickType() {
        static const int types[] = {0, 0, 0, 0, 1, 4, 4, 2, 3, 5, 0xFF};
        return types[pick(0, 10)];
    }
    char junk() {
        static const char chars[] = "Gz:- \t\r\x7F\x80\xFFxX0\0";
        return chars[pick(0, sizeof chars - 1)];
    }
    std::string randomBytes() {
        std::string s(static_cast<std::size_t>(pick(0, 80)), '\0');
        for (auto& c : s)
            c = static_cast<char>(pick(0, 255));
        return s;
    }
    std::mt19937 rng_;
};

} // namespace

TEST(HexReaderFuzz, MalformedLinesNeverBreakTheReader) {
    int failures = 0, stored = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        LineMaker maker(seed);
        QByteArray text;
        std::vector<std::string> lines;
        for (int i = 0; i < 60; ++i) {
            lines.push_back(maker.next());
            text += QByteArray::fromStdString(lines.back()) + (seed % 3 ? "\n" : "\r\n");
        }
        for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()}) {
            const int family = static_cast<int>(seed % 4);
            FirmwareImage image(family);
            QBuffer buffer(&text);
            buffer.open(QIODevice::ReadOnly);
            const auto result = readHex(buffer, image, *policy);
            EXPECT_EQ(result.ok(), result.error.isEmpty());
            EXPECT_LE(result.lines, text.count('\n'));
            EXPECT_LE(image.nonEmptyRowCount(), result.wordsStored);

            // Every line, through a fresh reader after each failure, so lines behind a bad one
            // are exercised too. A failed reader takes no more lines.
            FirmwareImage direct(family);
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
