#pragma once

#include "build_policy.h"
#include "firmware_image.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string_view>

class QIODevice;

namespace vorna::uploader {

// Why a HEX read ended the download.
enum class HexFailure {
    None,
    CannotOpen,    // the file could not be opened (shown as a message box)
    OutOfRange,    // a word outside every row, in the build that ends the download on it
    UnknownRecord, // a record type other than 0, 1, 4, in the build that ends on it
    Malformed,     // a record whose header or data digits are missing or not hexadecimal
};

struct HexReadResult {
    HexFailure failure = HexFailure::None;
    QString error;       // the text to show when the download ends; empty on success
    QStringList notices; // texts shown on the way without ending the download
    int lines = 0;       // lines read (including the one that ended the read)
    int wordsStored = 0;
    int wordsOutOfRange = 0;
    int unknownRecords = 0;

    bool ok() const { return failure == HexFailure::None; }
    explicit operator bool() const { return ok(); }
};

// Progress of a read. All members are optional. lineRange and lineDone are called only by the
// build that shows line progress (the caller's bar: range 0..count, one step per line).
struct HexReadCallbacks {
    std::function<void(int lineCount)> lineRange;
    std::function<void(int linesDone)> lineDone;
    std::function<void(const QString& text)> notice;
};

// Reads Intel HEX records, line by line, into an image. Records of type 0 (data), 1 (end of
// file, ignored: later lines are still read) and 4 (extended linear address) are understood;
// the colon and the checksum are not checked. A HEX byte address is twice the device address,
// and each two file bytes become one word, the first byte in its high half.
class HexReader {
public:
    // Lines longer than this are cut; no valid record comes near it.
    static constexpr int kMaxLineLength = 4095;

    HexReader(FirmwareImage& image, const BuildPolicy& policy, HexReadCallbacks callbacks = {});

    // Reads one line (end-of-line characters may be present). Returns false once the download
    // must end; later calls are then ignored.
    bool readLine(std::string_view line);

    const HexReadResult& result() const { return result_; }

private:
    bool fail(HexFailure failure, const QString& text);
    void notice(const QString& text);
    bool readData(std::string_view line, std::uint32_t byteCount, std::uint32_t offset);

    FirmwareImage& image_;
    const BuildPolicy& policy_;
    HexReadCallbacks callbacks_;
    HexReadResult result_;
    std::uint32_t extendedBase_ = 0;
};

// Reads a whole HEX stream (seekable when the build counts lines first) into the image.
HexReadResult readHex(QIODevice& device, FirmwareImage& image, const BuildPolicy& policy,
                      const HexReadCallbacks& callbacks = {});
// Opens the file and reads it; an unopenable file ends with HexFailure::CannotOpen.
HexReadResult readHexFile(const QString& path, FirmwareImage& image, const BuildPolicy& policy,
                          const HexReadCallbacks& callbacks = {});

} // namespace vorna::uploader
