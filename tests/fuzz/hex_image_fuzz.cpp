// The Intel HEX reader and the image it builds, in both builds and for both row sizes.
#include "device_table.h"
#include "fuzz_target.h"
#include "hex_reader.h"
#include "hex_text.h"

#include <QBuffer>
#include <map>

using namespace vorna::uploader;

namespace {

using ByteMap = std::map<std::uint64_t, std::uint8_t>; // HEX byte address -> value

bool trailing(char c) {
    return c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == '\0';
}

// Whether a device address belongs to some row of the image: program memory from 0, the
// EEPROM's 128 rows of 32 units at 0x7FF000, the 8 configuration words at 0xF80000.
bool deviceAddressExists(std::uint64_t a, int programRowSize) {
    return a < 1536u * 2 * unsigned(programRowSize) || (a >= 0x7FF000 && a < 0x800000) ||
           (a >= 0xF80000 && a < 0xF80010);
}

// What an accepted file must hold, read here on its own: every line a whole record with a
// good checksum, an end record somewhere, and the bytes of the data records by address, the
// later record winning (and, in the build that skips them, a record's bytes from the first
// one outside the device dropped).
struct Decoded {
    ByteMap bytes;
    int stored = 0;
    int lines = 0;
};

Decoded decode(const QByteArray& file, const BuildPolicy& policy, int programRowSize) {
    Decoded d;
    QList<QByteArray> lines = file.split('\n');
    if (file.endsWith('\n') || file.isEmpty()) lines.removeLast();
    d.lines = int(lines.size());
    std::uint64_t base = 0;
    bool end = false;
    for (QByteArray line : lines) {
        while (!line.isEmpty() && trailing(line.back()))
            line.chop(1);
        if (line.isEmpty()) continue;
        const QByteArray digits = line.mid(1);
        FUZZ_CHECK(digits.size() >= 10 && digits.size() % 2 == 0, "record " + line.toStdString());
        const QByteArray bytes = QByteArray::fromHex(digits);
        FUZZ_CHECK(bytes.toHex().toUpper() == digits.toUpper(), "digits " + line.toStdString());
        const auto count = std::uint8_t(bytes[0]);
        FUZZ_CHECK(bytes.size() == 5 + count, "length " + line.toStdString());
        std::uint8_t sum = 0;
        for (char b : bytes)
            sum = std::uint8_t(sum + std::uint8_t(b));
        FUZZ_CHECK(sum == 0, "checksum " + line.toStdString());
        const auto offset = std::uint64_t(digits.mid(2, 4).toUInt(nullptr, 16));
        switch (bytes[3]) {
        case 0:
            for (int i = 0; i < count; ++i) {
                const std::uint64_t at = base + offset + unsigned(i);
                if (!deviceAddressExists(at / 2, programRowSize)) {
                    FUZZ_CHECK(policy.outOfRange == OutOfRangeAction::SkipRestOfRecord,
                               "out of range accepted");
                    break;
                }
                d.bytes[at] = std::uint8_t(bytes[4 + i]);
                ++d.stored;
            }
            break;
        case 1:
            end = true;
            break;
        case 4:
            base = std::uint64_t(digits.mid(8, 4).toUInt(nullptr, 16)) << 16;
            break;
        default:
            FUZZ_CHECK(policy.unknownRecord == UnknownRecordAction::Notice, "unknown accepted");
        }
    }
    FUZZ_CHECK(end, "accepted without an end record");
    return d;
}

// The image written out as a HEX file of its own: every word of every row that holds
// something, in records of 128 bytes.
QByteArray writeHex(const FirmwareImage& image) {
    std::string out;
    std::uint32_t upper = 0;
    for (const ImageRow& row : image.rows()) {
        if (row.empty()) continue;
        for (std::uint32_t o = 0; o < row.span(); o += 64) {
            const std::uint32_t at = (row.address() + o) * 2;
            if (at >> 16 != upper) out += test::linearBase(std::uint16_t(upper = at >> 16)) + '\n';
            std::vector<std::uint8_t> data;
            for (std::uint32_t w = o; w < std::min(o + 64, row.span()); ++w)
                data.insert(data.end(),
                            {std::uint8_t(row.word(w) >> 8), std::uint8_t(row.word(w))});
            out += test::dataRecord(std::uint16_t(at), data) + '\n';
        }
    }
    return QByteArray::fromStdString(out + test::endOfFile() + '\n');
}

HexReadResult read(const QByteArray& file, FirmwareImage& image, const BuildPolicy& policy) {
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    return readHex(buffer, image, policy);
}

void check(const QByteArray& file, const BuildPolicy& policy, int family) {
    FirmwareImage image(family);
    const HexReadResult result = read(file, image, policy);
    FUZZ_CHECK(result.ok() == result.error.isEmpty(), result.error.toStdString());
    if (!result.ok()) return;

    const Decoded d = decode(file, policy, image.programRowSize());
    FUZZ_CHECK(result.lines == d.lines, "lines read");
    FUZZ_CHECK(result.bytesStored == d.stored, "bytes stored");
    // Each half of each word of a row in use holds its file byte, or the erased 0xFF.
    for (const ImageRow& row : image.rows()) {
        const std::uint64_t first = std::uint64_t(row.address()) * 2;
        const auto in = d.bytes.lower_bound(first);
        const bool used = in != d.bytes.end() && in->first < first + 2 * row.span();
        FUZZ_CHECK(used == !row.empty(), "row " + std::to_string(row.rowNumber()) + " in use");
        if (!used) continue;
        for (std::uint32_t o = 0; o < row.span(); ++o) {
            const auto byteAt = [&](std::uint64_t a) {
                const auto it = d.bytes.find(a);
                return it == d.bytes.end() ? 0xFF : it->second;
            };
            const std::uint16_t want =
                std::uint16_t(byteAt(first + 2 * o) << 8 | byteAt(first + 2 * o + 1));
            FUZZ_CHECK(row.word(o) == want, "word at " + std::to_string(row.address() + o));
        }
    }

    // Formatted and read back, the image is the same.
    FirmwareImage again(family);
    FUZZ_CHECK(read(writeHex(image), again, policy).ok(), "written image refused");
    image.formatRows(policy);
    again.formatRows(policy);
    FUZZ_CHECK(writeHex(image) == writeHex(again), "round trip");
    for (int k = 0; k < FirmwareImage::kRowCount; ++k)
        FUZZ_CHECK(image.row(k).bytes() == again.row(k).bytes(),
                   "round trip, row " + std::to_string(k));
}

} // namespace

VORNA_FUZZ_TARGET(hex_image) {
    const QByteArray file(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    for (const BuildPolicy* policy : {&sirvexPolicy(), &tamrixPolicy()})
        for (int family : {kDsPic30F, kPic24H})
            check(file, *policy, family);
}
