#pragma once

#include "image_row.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vorna::uploader {

// The device memory of one download: 1672 rows in a fixed order (1536 program rows, 128 EEPROM
// rows, 8 configuration rows), built for the target's family so the program row size is known
// before the file is read.
class FirmwareImage {
public:
    static constexpr int kProgramRows = 1536;
    static constexpr int kEepromRows = 128;
    static constexpr int kConfigurationRows = 8;
    static constexpr int kRowCount = kProgramRows + kEepromRows + kConfigurationRows; // 1672
    static constexpr int kFirstEepromRow = kProgramRows;
    static constexpr int kFirstConfigurationRow = kProgramRows + kEepromRows;
    static constexpr std::uint32_t kEepromBase = 0x7FF000;
    static constexpr std::uint32_t kConfigurationBase = 0xF80000;

    explicit FirmwareImage(int family);

    int family() const { return family_; }
    // Instructions per program row: 32 for family 0 (dsPIC30F), 512 otherwise.
    int programRowSize() const { return programRowSize_; }

    std::span<ImageRow> rows() { return rows_; }
    std::span<const ImageRow> rows() const { return rows_; }
    ImageRow& row(int index) { return rows_.at(static_cast<std::size_t>(index)); }
    const ImageRow& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }

    // Index of the first row (in row order) that accepts the device address, or -1.
    int rowFor(std::uint32_t deviceAddress) const;
    // Stores the word in the first row that accepts the address; false when none does.
    bool storeWord(std::uint32_t deviceAddress, std::uint16_t value);
    // Stores one file byte by its HEX byte address: word address / 2, the even byte in the
    // word's high half. False when no row accepts the word.
    bool storeByte(std::uint64_t hexByteAddress, std::uint8_t value);
    // The word at a device address (0xFFFF where nothing was stored or no row accepts it).
    std::uint16_t wordAt(std::uint32_t deviceAddress) const;

    // Replaces the words at device addresses 0..3 of program row 0 with the target's own reset
    // instructions, given the first six bytes r0..r5 of its program row 0 as read back:
    // words r2r1, r0 00, r5r4, r3 00. Row 0 becomes non-empty.
    void preserveResetWords(const std::array<std::uint8_t, 6>& firstRowBytes);

    // Formats every non-empty row into its bytes (empty rows are left unformatted).
    void formatRows(const BuildPolicy& policy);

    int nonEmptyRowCount() const;
    // Heap bytes held by the image (row table, words, formatted bytes).
    std::size_t heapBytes() const;

private:
    int family_;
    int programRowSize_;
    std::vector<ImageRow> rows_;
};

} // namespace vorna::uploader
