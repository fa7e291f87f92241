// The Intel HEX reader and the image it builds, in both builds and for both row sizes.
#include "device_table.h"
#include "fuzz_target.h"
#include "hex_reader.h"
#include "hex_text.h"

#include <QBuffer>

using namespace vorna::uploader;

namespace {

// An accepted file read here on its own: every line a whole record with a good checksum, an end
// record somewhere, and no record the build would have stopped on. Where each byte lands is the
// HEX tests' (hand-made records, and files made by real tools against their manifest).
void checkAccepted(const QByteArray& file, const BuildPolicy& policy) {
    bool end = false;
    for (QByteArray line : file.split('\n')) {
        while (!line.isEmpty() && QByteArray(" \t\r", 4).contains(line.back()))
            line.chop(1);
        if (line.isEmpty()) continue;
        const QByteArray digits = line.mid(1);
        FUZZ_CHECK(digits.size() >= 10 && digits.size() % 2 == 0, "record " + line.toStdString());
        const QByteArray bytes = QByteArray::fromHex(digits);
        FUZZ_CHECK(bytes.toHex().toUpper() == digits.toUpper(), "digits " + line.toStdString());
        FUZZ_CHECK(bytes.size() == 5 + std::uint8_t(bytes[0]), "length " + line.toStdString());
        std::uint8_t sum = 0;
        for (char b : bytes)
            sum = std::uint8_t(sum + std::uint8_t(b));
        FUZZ_CHECK(sum == 0, "checksum " + line.toStdString());
        end = end || bytes[3] == 1;
        if (bytes[3] != 0 && bytes[3] != 1 && bytes[3] != 4)
            FUZZ_CHECK(policy.unknownRecord == UnknownRecordAction::Notice, "unknown accepted");
    }
    FUZZ_CHECK(end, "accepted without an end record");
}

// The image written out as a HEX file of its own: every word of every row that holds
// something.
QByteArray writeHex(const FirmwareImage& image) {
    std::map<std::uint32_t, std::uint8_t> bytes;
    for (const ImageRow& row : image.rows())
        for (std::uint32_t w = 0; !row.empty() && w < row.span(); ++w) {
            bytes[(row.address() + w) * 2] = std::uint8_t(row.word(w) >> 8);
            bytes[(row.address() + w) * 2 + 1] = std::uint8_t(row.word(w));
        }
    return QByteArray::fromStdString(test::hexFile(bytes, 128));
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

    checkAccepted(file, policy);
    FUZZ_CHECK(result.lines <= file.count('\n') + 1, "lines read");
    FUZZ_CHECK(result.bytesStored <= file.size() / 2, "bytes stored");
    if (policy.outOfRange == OutOfRangeAction::EndDownload)
        FUZZ_CHECK(result.bytesOutOfRange == 0, "out of range accepted");
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
