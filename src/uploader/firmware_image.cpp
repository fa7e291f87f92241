#include "firmware_image.h"

namespace vorna::uploader {

namespace {
constexpr std::uint32_t kEepromSpan = 32;
constexpr std::uint32_t kConfigurationSpan = 2;
constexpr std::int32_t kSmallRowSize = 16;
} // namespace

FirmwareImage::FirmwareImage(int family)
    : family_(family), programRowSize_(family != 0 ? 512 : 32) {
    rows_.reserve(kRowCount);
    const auto programSpan = static_cast<std::uint32_t>(programRowSize_) * 2;
    for (int n = 0; n < kProgramRows; ++n)
        rows_.emplace_back(RowKind::Program, n * programSpan, n, family, programRowSize_);
    for (int n = 0; n < kEepromRows; ++n)
        rows_.emplace_back(RowKind::Eeprom, kEepromBase + kEepromSpan * n, n, family,
                           kSmallRowSize);
    for (int n = 0; n < kConfigurationRows; ++n)
        rows_.emplace_back(RowKind::Configuration, kConfigurationBase + kConfigurationSpan * n, n,
                           family, kSmallRowSize);
}

int FirmwareImage::rowFor(std::uint32_t a) const {
    // The three regions are disjoint and each is a run of equal rows in address order, so the
    // first accepting row is found by arithmetic instead of a walk over all 1672 rows.
    const auto programSpan = static_cast<std::uint32_t>(programRowSize_) * 2;
    if (a < programSpan * kProgramRows) return static_cast<int>(a / programSpan);
    if (a >= kEepromBase && a - kEepromBase < kEepromSpan * kEepromRows)
        return kFirstEepromRow + static_cast<int>((a - kEepromBase) / kEepromSpan);
    if (a >= kConfigurationBase && a - kConfigurationBase < kConfigurationSpan * kConfigurationRows)
        return kFirstConfigurationRow +
               static_cast<int>((a - kConfigurationBase) / kConfigurationSpan);
    return -1;
}

bool FirmwareImage::storeWord(std::uint32_t deviceAddress, std::uint16_t value) {
    const int index = rowFor(deviceAddress);
    if (index < 0) return false;
    auto& r = rows_[static_cast<std::size_t>(index)];
    return r.setWord(deviceAddress - r.address(), value);
}

bool FirmwareImage::storeByte(std::uint64_t hexByteAddress, std::uint8_t value) {
    const auto deviceAddress = static_cast<std::uint32_t>(hexByteAddress / 2);
    const int index = rowFor(deviceAddress);
    if (index < 0) return false;
    auto& r = rows_[static_cast<std::size_t>(index)];
    return r.setHalf(deviceAddress - r.address(), hexByteAddress % 2 == 0, value);
}

std::uint16_t FirmwareImage::wordAt(std::uint32_t deviceAddress) const {
    const int index = rowFor(deviceAddress);
    if (index < 0) return ImageRow::kErased;
    const auto& r = rows_[static_cast<std::size_t>(index)];
    return r.word(deviceAddress - r.address());
}

void FirmwareImage::preserveResetWords(const std::array<std::uint8_t, 6>& b) {
    auto& r0 = rows_.front();
    r0.setWord(0, static_cast<std::uint16_t>(b[2] << 8 | b[1]));
    r0.setWord(1, static_cast<std::uint16_t>(b[0] << 8));
    r0.setWord(2, static_cast<std::uint16_t>(b[5] << 8 | b[4]));
    r0.setWord(3, static_cast<std::uint16_t>(b[3] << 8));
}

void FirmwareImage::formatRows(const BuildPolicy& policy) {
    for (auto& r : rows_)
        r.format(policy);
}

int FirmwareImage::nonEmptyRowCount() const {
    int n = 0;
    for (const auto& r : rows_)
        n += r.empty() ? 0 : 1;
    return n;
}

std::size_t FirmwareImage::heapBytes() const {
    std::size_t total = rows_.capacity() * sizeof(ImageRow);
    for (const auto& r : rows_)
        total += r.heapBytes();
    return total;
}

} // namespace vorna::uploader
