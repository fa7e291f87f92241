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
    Malformed,     // a record whose digits are missing, extra or not hexadecimal, or a data
                   // record with an odd byte count
    Checksum,      // a record whose checksum does not match: the file was damaged
    NoEndRecord,   // the file ends without an end-of-file record: it was cut short
};

struct HexReadResult {
    HexFailure failure = HexFailure::None;
    QString error;       // the text to show when the download ends; empty on success
    QStringList notices; // texts shown on the way without ending the download
    int lines = 0;       // lines read (including the one that ended the read)
    int bytesStored = 0;
    int bytesOutOfRange = 0;
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
// file: later lines are still read, but a file without one was cut short) and 4 (extended
// linear address) are understood. The first character stands for the colon and is not checked;
// every record must have exactly the digits its count promises and a matching checksum, so a
// damaged file is never flashed. Each file byte lands by its own byte address: word address =
// byte address / 2, the even byte in the word's high half.
class HexReader {
public:
    // Lines longer than this are cut; no valid record comes near it.
    static constexpr int kMaxLineLength = 4095;

    HexReader(FirmwareImage& image, const BuildPolicy& policy, HexReadCallbacks callbacks = {});

    // Reads one line (end-of-line characters may be present). Returns false once the download
    // must end; later calls are then ignored.
    bool readLine(std::string_view line);
    // Called after the last line: a file that never gave its end record fails here.
    bool finish();

    const HexReadResult& result() const { return result_; }

private:
    bool fail(HexFailure failure, const QString& text);
    bool failOnLine(HexFailure failure, const char* format);
    void notice(const QString& text);
    bool readData(std::string_view line, std::uint32_t byteCount, std::uint32_t offset);

    FirmwareImage& image_;
    const BuildPolicy& policy_;
    HexReadCallbacks callbacks_;
    HexReadResult result_;
    std::uint32_t extendedBase_ = 0;
    bool sawEndRecord_ = false;
};

// Reads a whole HEX stream (seekable when the build counts lines first) into the image.
HexReadResult readHex(QIODevice& device, FirmwareImage& image, const BuildPolicy& policy,
                      const HexReadCallbacks& callbacks = {});
// Opens the file and reads it; an unopenable file ends with HexFailure::CannotOpen.
HexReadResult readHexFile(const QString& path, FirmwareImage& image, const BuildPolicy& policy,
                          const HexReadCallbacks& callbacks = {});

} // namespace vorna::uploader
