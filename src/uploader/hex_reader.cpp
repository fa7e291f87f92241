#include "hex_reader.h"

#include <QFile>
#include <QIODevice>

#include <array>

namespace vorna::uploader {

namespace {

// Notices kept in the result; the callback still sees every one.
constexpr int kMaxKeptNotices = 100;

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

void HexReader::notice(const QString& text) {
    if (result_.notices.size() < kMaxKeptNotices) result_.notices.append(text);
    if (callbacks_.notice) callbacks_.notice(text);
}

bool HexReader::readLine(std::string_view line) {
    if (!result_.ok()) return false;
    ++result_.lines;
    const auto malformed = [&] {
        return fail(HexFailure::Malformed,
                    QString::asprintf(policy_.malformedLineFormat, result_.lines));
    };
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.size() > static_cast<std::size_t>(kMaxLineLength)) return malformed();
    line = trimEnd(line);
    if (line.empty()) return true;

    // The first character is the colon by rule but is not checked; a line missing it is read
    // shifted, and what its header then says is used.
    if (!allHex(line, 1, 8)) return malformed();
    const auto byteCount = parseHex(line, 1, 2);
    const auto offset = parseHex(line, 3, 4);
    const auto type = parseHex(line, 7, 2);

    switch (type) {
    case 0:
        return readData(line, byteCount, offset);
    case 1: // End of file: later lines are still read.
        return true;
    case 4:
        if (!allHex(line, 9, 4)) return malformed();
        extendedBase_ = parseHex(line, 9, 4) << 16;
        return true;
    default:
        ++result_.unknownRecords;
        if (policy_.unknownRecord == UnknownRecordAction::EndDownload)
            return fail(HexFailure::UnknownRecord, QString::fromLatin1(policy_.unknownRecordText));
        notice(QString::fromLatin1(policy_.unknownRecordText));
        return true;
    }
}

bool HexReader::readData(std::string_view line, std::uint32_t byteCount, std::uint32_t offset) {
    constexpr std::size_t kDataStart = 9;
    const std::size_t digits = 2 * byteCount;
    // Every byte the count promises must be there before any of the record is stored, so a
    // truncated or garbled record never leaves half of itself (or stale values) in the image.
    if (!allHex(line, kDataStart, digits))
        return fail(HexFailure::Malformed,
                    QString::asprintf(policy_.malformedLineFormat, result_.lines));

    // Four digits per word; with an odd byte count the last word runs into the checksum digits
    // and takes what is there.
    std::uint32_t address = (extendedBase_ + offset) / 2;
    for (std::size_t pos = 0; pos < digits; pos += 4, ++address) {
        const auto value = static_cast<std::uint16_t>(parseHex(line, kDataStart + pos, 4));
        if (image_.storeWord(address, value)) {
            ++result_.wordsStored;
            continue;
        }
        ++result_.wordsOutOfRange;
        const auto text = QString::asprintf(policy_.outOfRangeFormat, address);
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
    return reader.result();
}

HexReadResult readHexFile(const QString& path, FirmwareImage& image, const BuildPolicy& policy,
                          const HexReadCallbacks& callbacks) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return cannotOpen(policy);
    const auto result = readHex(file, image, policy, callbacks);
    // A read error would otherwise look like the end of a shorter file.
    if (result.ok() && file.error() != QFileDevice::NoError) return cannotOpen(policy);
    return result;
}

} // namespace vorna::uploader
