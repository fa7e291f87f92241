#include "hex_reader.h"

#include <QFile>
#include <QIODevice>

#include <array>

namespace vorna::uploader {

namespace {

// Notices kept in the result; the callback still sees every one.
constexpr int kMaxKeptNotices = 100;
// Where a record's data digits begin: after the colon and 8 header digits.
constexpr std::size_t kDataStart = 9;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// True when `count` characters from `pos` exist and are all hexadecimal digits.
bool allHex(std::string_view s, std::size_t pos, std::size_t count) {
    if (pos > s.size() || s.size() - pos < count) return false;
    for (std::size_t i = pos; i < pos + count; ++i)
        if (hexDigit(s[i]) < 0) return false;
    return true;
}

// Up to `width` hex digits from `pos`, stopping at the first other character or the end, like a
// "%4hx" conversion. The callers have checked that at least one digit is there.
std::uint32_t parseHex(std::string_view s, std::size_t pos, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = pos; i < s.size() && i < pos + width; ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0) break;
        value = value << 4 | static_cast<std::uint32_t>(d);
    }
    return value;
}

std::string_view trimEnd(std::string_view s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' ||
                          s.back() == '\t' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

// Reads the next line of at most HexReader::kMaxLineLength characters into buf. A longer line
// is consumed whole and returned cut to the limit plus one character, so the reader sees it is
// too long. Returns false at the end of the stream.
bool nextLine(QIODevice& device, std::array<char, HexReader::kMaxLineLength + 2>& buf,
              std::string_view& line) {
    if (device.atEnd()) return false;
    const qint64 n = device.readLine(buf.data(), static_cast<qint64>(buf.size()));
    if (n <= 0) return false;
    line = std::string_view(buf.data(), static_cast<std::size_t>(n));
    if (line.back() != '\n' && static_cast<std::size_t>(n) == buf.size() - 1) {
        // Overlong: drop the rest of it.
        std::array<char, 512> rest;
        for (;;) {
            const qint64 m = device.readLine(rest.data(), static_cast<qint64>(rest.size()));
            if (m <= 0 || rest[static_cast<std::size_t>(m) - 1] == '\n') break;
        }
    }
    return true;
}

HexReadResult cannotOpen(const BuildPolicy& policy) {
    HexReadResult result;
    result.failure = HexFailure::CannotOpen;
    result.error = QString::fromLatin1(policy.invalidFileText);
    return result;
}

} // namespace

HexReader::HexReader(FirmwareImage& image, const BuildPolicy& policy, HexReadCallbacks callbacks)
    : image_(image), policy_(policy), callbacks_(std::move(callbacks)) {}

bool HexReader::fail(HexFailure failure, const QString& text) {
    result_.failure = failure;
    result_.error = text;
    return false;
}

bool HexReader::failOnLine(HexFailure failure, const char* format) {
    return fail(failure, QString::asprintf(format, result_.lines));
}

void HexReader::notice(const QString& text) {
    if (result_.notices.size() < kMaxKeptNotices) result_.notices.append(text);
    if (callbacks_.notice) callbacks_.notice(text);
}

bool HexReader::readLine(std::string_view line) {
    if (!result_.ok()) return false;
    ++result_.lines;
    const auto malformed = [&] {
        return failOnLine(HexFailure::Malformed, policy_.malformedLineFormat);
    };
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.size() > static_cast<std::size_t>(kMaxLineLength)) return malformed();
    line = trimEnd(line);
    if (line.empty()) return true;

    // The first character is the colon by rule but is not checked. After it come exactly the
    // header, the bytes the count promises and the checksum; anything short, long or not
    // hexadecimal is a damaged record.
    if (!allHex(line, 1, kDataStart - 1)) return malformed();
    const auto byteCount = parseHex(line, 1, 2);
    const auto offset = parseHex(line, 3, 4);
    const auto type = parseHex(line, 7, 2);
    const std::size_t recordDigits = 2 * byteCount + 2;
    if (line.size() != kDataStart + recordDigits || !allHex(line, kDataStart, recordDigits))
        return malformed();
    std::uint32_t sum = 0;
    for (std::size_t pos = 1; pos < line.size(); pos += 2)
        sum += parseHex(line, pos, 2);
    if (sum % 256 != 0) return failOnLine(HexFailure::Checksum, policy_.checksumFormat);

    switch (type) {
    case 0:
        // Bytes go in pairs into words; an odd count has no partner for its last byte.
        if (byteCount % 2 != 0) return malformed();
        return readData(line, byteCount, offset);
    case 1: // End of file: later lines are still read.
        sawEndRecord_ = true;
        return true;
    case 4:
        if (byteCount != 2) return malformed();
        extendedBase_ = parseHex(line, kDataStart, 4) << 16;
        return true;
    default:
        ++result_.unknownRecords;
        if (policy_.unknownRecord == UnknownRecordAction::EndDownload)
            return fail(HexFailure::UnknownRecord, QString::fromLatin1(policy_.unknownRecordText));
        notice(QString::fromLatin1(policy_.unknownRecordText));
        return true;
    }
}

bool HexReader::finish() {
    if (!result_.ok()) return false;
    if (!sawEndRecord_)
        return fail(HexFailure::NoEndRecord, QString::fromLatin1(policy_.noEndRecordText));
    return true;
}

bool HexReader::readData(std::string_view line, std::uint32_t byteCount, std::uint32_t offset) {
    // Each byte by its own address, so a record that starts at an odd address is placed as
    // written rather than one byte off.
    const std::uint64_t start = std::uint64_t{extendedBase_} + offset;
    for (std::uint32_t i = 0; i < byteCount; ++i) {
        const std::uint64_t at = start + i;
        const auto value = static_cast<std::uint8_t>(parseHex(line, kDataStart + 2 * i, 2));
        if (image_.storeByte(at, value)) {
            ++result_.bytesStored;
            continue;
        }
        ++result_.bytesOutOfRange;
        const auto text = QString::asprintf(policy_.outOfRangeFormat, unsigned(at / 2));
        if (policy_.outOfRange == OutOfRangeAction::EndDownload)
            return fail(HexFailure::OutOfRange, text);
        notice(text);
        return true; // the rest of the record is dropped
    }
    return true;
}

HexReadResult readHex(QIODevice& device, FirmwareImage& image, const BuildPolicy& policy,
                      const HexReadCallbacks& callbacks) {
    std::array<char, HexReader::kMaxLineLength + 2> buf;
    std::string_view line;
    if (policy.hexLineProgress) {
        int count = 0;
        while (nextLine(device, buf, line))
            ++count;
        if (!device.seek(0)) return cannotOpen(policy);
        if (callbacks.lineRange) callbacks.lineRange(count);
    }
    HexReader reader(image, policy, callbacks);
    while (nextLine(device, buf, line)) {
        const bool goOn = reader.readLine(line);
        if (policy.hexLineProgress && callbacks.lineDone) callbacks.lineDone(reader.result().lines);
        if (!goOn) break;
    }
    reader.finish();
    return reader.result();
}

HexReadResult readHexFile(const QString& path, FirmwareImage& image, const BuildPolicy& policy,
                          const HexReadCallbacks& callbacks) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return cannotOpen(policy);
    const auto result = readHex(file, image, policy, callbacks);
    // A read error would otherwise look like the end of a shorter file.
    const bool readToTheEnd = result.ok() || result.failure == HexFailure::NoEndRecord;
    if (readToTheEnd && file.error() != QFileDevice::NoError) return cannotOpen(policy);
    return result;
}

} // namespace vorna::uploader
