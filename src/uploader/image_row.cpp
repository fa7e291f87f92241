#include "image_row.h"

#include "build_policy.h"

namespace vorna::uploader {

namespace {

std::uint32_t spanOf(RowKind kind, std::int32_t rowSize) {
    switch (kind) {
    case RowKind::Program:
        return static_cast<std::uint32_t>(rowSize) * 2;
    case RowKind::Eeprom:
        return 32;
    case RowKind::Configuration:
        return 2;
    }
    return 0;
}

char high(std::uint16_t w) {
    return static_cast<char>(w >> 8);
}
char low(std::uint16_t w) {
    return static_cast<char>(w & 0xFF);
}

} // namespace

ImageRow::ImageRow(RowKind kind, std::uint32_t address, std::int32_t rowNumber, std::int32_t family,
                   std::int32_t rowSize)
    : kind_(kind), address_(address), rowNumber_(rowNumber), family_(family), rowSize_(rowSize),
      span_(spanOf(kind, rowSize)) {}

std::uint16_t ImageRow::word(std::uint32_t offset) const {
    return words_ && offset < span_ ? words_[offset] : kErased;
}

std::uint16_t* ImageRow::wordsForWriting() {
    if (!words_) {
        words_ = std::make_unique<std::uint16_t[]>(span_);
        std::fill_n(words_.get(), span_, kErased);
    }
    empty_ = false;
    return words_.get();
}

bool ImageRow::setWord(std::uint32_t offset, std::uint16_t value) {
    if (offset >= span_) return false;
    wordsForWriting()[offset] = value;
    return true;
}

bool ImageRow::setHalf(std::uint32_t offset, bool highHalf, std::uint8_t value) {
    if (offset >= span_) return false;
    auto& w = wordsForWriting()[offset];
    w = highHalf ? std::uint16_t((w & 0x00FF) | value << 8) : std::uint16_t((w & 0xFF00) | value);
    return true;
}

void ImageRow::format(const BuildPolicy& policy) {
    if (empty_) return;
    switch (kind_) {
    case RowKind::Program:
        // Three bytes per instruction; the phantom upper byte of each second word is dropped.
        bytes_.resize(byteSize());
        for (int i = 0; i < rowSize_; ++i) {
            const auto lo = word(2 * i), hi = word(2 * i + 1);
            bytes_[3 * i] = high(lo);
            bytes_[3 * i + 1] = low(lo);
            bytes_[3 * i + 2] = high(hi);
        }
        break;
    case RowKind::Configuration:
        bytes_.resize(byteSize());
        bytes_[0] = high(word(0));
        bytes_[1] = low(word(0));
        bytes_[2] = high(word(1));
        break;
    case RowKind::Eeprom: {
        const int stride = policy.eepromLayout == EepromLayout::EverySecondWord ? 2 : 1;
        bytes_.resize(byteSize());
        for (int i = 0; i < 16; ++i) {
            const auto w = word(stride * i);
            bytes_[2 * i] = high(w);
            bytes_[2 * i + 1] = low(w);
        }
        break;
    }
    }
}

int ImageRow::byteSize() const {
    switch (kind_) {
    case RowKind::Program:
        return rowSize_ * 3;
    case RowKind::Eeprom:
        return 32;
    case RowKind::Configuration:
        return 3;
    }
    return 0;
}

QByteArray ImageRow::bytesOrErased() const {
    return bytes_.isEmpty() ? QByteArray(byteSize(), '\xFF') : bytes_;
}

std::size_t ImageRow::heapBytes() const {
    return (words_ ? span_ * sizeof(std::uint16_t) : 0) +
           static_cast<std::size_t>(bytes_.capacity());
}

} // namespace vorna::uploader
