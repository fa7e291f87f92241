#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>

namespace vorna::uploader {

enum class RowKind : std::int32_t { Program = 0, Eeprom = 1, Configuration = 2 };

struct BuildPolicy;

// One row of device memory, addressed in program-counter units (two units per instruction).
// Words are allocated on the first store, so an image holds memory only for the rows a file
// touches; an unstored word reads as 0xFFFF.
class ImageRow {
public:
    static constexpr int kMaxWords = 1024;
    static constexpr std::uint16_t kErased = 0xFFFF;

    ImageRow(RowKind kind, std::uint32_t address, std::int32_t rowNumber, std::int32_t family,
             std::int32_t rowSize);

    RowKind kind() const { return kind_; }
    std::uint32_t address() const { return address_; }
    std::int32_t rowNumber() const { return rowNumber_; }
    std::int32_t family() const { return family_; }
    // Program rows: instructions per row (512, or 32 for family 0); EEPROM and configuration: 16.
    std::int32_t rowSize() const { return rowSize_; }
    // Device addresses the row accepts: [address, address + span).
    std::uint32_t span() const { return span_; }
    bool accepts(std::uint32_t deviceAddress) const {
        return deviceAddress >= address_ && deviceAddress - address_ < span_;
    }
    bool empty() const { return empty_; }

    // offset = device address - address(); offsets outside the span read as erased.
    std::uint16_t word(std::uint32_t offset) const;
    // Stores a word and marks the row non-empty; false when the offset is outside the span.
    bool setWord(std::uint32_t offset, std::uint16_t value);
    // Stores one half of a word, the other half keeping what it held; as setWord otherwise.
    bool setHalf(std::uint32_t offset, bool highHalf, std::uint8_t value);

    // Fills bytes() from the words; an empty row is left unformatted.
    void format(const BuildPolicy& policy);
    // The row as sent: rowSize x 3 bytes (program), 32 (EEPROM), 3 (configuration); empty
    // until format() ran on a non-empty row.
    const QByteArray& bytes() const { return bytes_; }
    // Size of the formatted row for its kind.
    int byteSize() const;
    // bytes(), or erased bytes (0xFF) of the row's size for a row that has none, for the build
    // that sends empty configuration rows with their empty flag.
    QByteArray bytesOrErased() const;

    // Heap bytes held by this row (words and formatted bytes).
    std::size_t heapBytes() const;

private:
    std::uint16_t* wordsForWriting();

    RowKind kind_;
    std::uint32_t address_;
    std::int32_t rowNumber_;
    std::int32_t family_;
    std::int32_t rowSize_;
    std::uint32_t span_;
    bool empty_ = true;
    std::unique_ptr<std::uint16_t[]> words_;
    QByteArray bytes_;
};

} // namespace vorna::uploader
