#pragma once

#include <QString>

namespace vorna::uploader {

enum class Build { Sirvex, Tamrix };

// What reading a HEX file does when a word falls outside every row.
enum class OutOfRangeAction {
    EndDownload,      // the error text is the result; nothing is written
    SkipRestOfRecord, // the text is a notice; the rest of that record is dropped
};

// What reading a HEX file does with a record type other than 0, 1 and 4.
enum class UnknownRecordAction {
    Notice,      // the text is shown and the next line is read
    EndDownload, // the text is the result; nothing is written
};

// How an EEPROM row's 32 bytes are taken from its words.
enum class EepromLayout {
    EveryWord,       // words 0..15, high half first
    EverySecondWord, // words 0, 2, .., 30: the first two file bytes of each 4-byte group
};

// Everything that sets the two uploader builds apart. One code path reads these values; there are
// no per-build copies of the logic.
struct BuildPolicy {
    Build build;
    const char* programName; // "Sirvex" / "Tamrix"
    int lineSpeed;           // bootloader line speed in baud

    // HEX reading
    bool hexLineProgress;        // count the lines first and report one step per line
    const char* hexReadingText;  // shown while the file is read
    const char* invalidFileText; // file that cannot be opened
    UnknownRecordAction unknownRecord;
    const char* unknownRecordText;
    OutOfRangeAction outOfRange;
    const char* outOfRangeFormat;    // printf format taking the device address (unsigned)
    const char* malformedLineFormat; // printf format taking the 1-based line number
    const char* checksumFormat;      // printf format taking the 1-based line number
    const char* noEndRecordText;     // the file ends without its end-of-file record

    // Row formatting
    EepromLayout eepromLayout;

    // Device table and lookup
    bool fullDeviceTable;    // the current build's table also holds the newer devices
    bool lookupShowsResult;  // the lookup yields "Found .." / "No Family" texts
    const char* foundFormat; // printf format taking the name (const char*) and the device ID
    const char* noFamilyText;
};

const BuildPolicy& sirvexPolicy();
const BuildPolicy& tamrixPolicy();
const BuildPolicy& policyFor(Build build);

} // namespace vorna::uploader
