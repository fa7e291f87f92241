#include "build_policy.h"

namespace vorna::uploader {

const BuildPolicy& sirvexPolicy() {
    static const BuildPolicy policy{
        .build = Build::Sirvex,
        .programName = "Sirvex",
        .lineSpeed = 38400,
        .hexLineProgress = true,
        .hexReadingText = "Progress: Reading Hex File",
        .invalidFileText = "Invalid Target File",
        .unknownRecord = UnknownRecordAction::Notice,
        .unknownRecordText = "Progress: Unknown hex record type.",
        .outOfRange = OutOfRangeAction::EndDownload,
        .outOfRangeFormat = "Bad Hex file: 0x%xAddress out of range",
        .malformedLineFormat = "Bad Hex file: line %d is malformed",
        .checksumFormat = "Bad Hex file: line %d checksum",
        .noEndRecordText = "Bad Hex file: no end record",
        .eepromLayout = EepromLayout::EveryWord,
        .fullDeviceTable = true,
        .lookupShowsResult = false,
        .foundFormat = "Found %s (ID: 0x%04x)",
        .noFamilyText = "No Family",
    };
    return policy;
}

const BuildPolicy& tamrixPolicy() {
    static const BuildPolicy policy{
        .build = Build::Tamrix,
        .programName = "Tamrix",
        .lineSpeed = 115200,
        .hexLineProgress = false,
        .hexReadingText = "Reading Hex File",
        .invalidFileText = "Invalid Target File",
        .unknownRecord = UnknownRecordAction::EndDownload,
        .unknownRecordText = "Unknown hex record type",
        .outOfRange = OutOfRangeAction::SkipRestOfRecord,
        .outOfRangeFormat = "Bad Hex file: 0x%X Address out of range.",
        .malformedLineFormat = "Bad Hex file: line %d is malformed",
        .checksumFormat = "Bad Hex file: line %d checksum",
        .noEndRecordText = "Bad Hex file: no end record",
        .eepromLayout = EepromLayout::EverySecondWord,
        .fullDeviceTable = false,
        .lookupShowsResult = true,
        .foundFormat = "Found %s (ID: 0x%04x)",
        .noFamilyText = "No Family",
    };
    return policy;
}

const BuildPolicy& policyFor(Build build) {
    return build == Build::Sirvex ? sirvexPolicy() : tamrixPolicy();
}

} // namespace vorna::uploader
