#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorna::uploader::test {

// One Intel HEX record with a correct checksum, upper-case digits, no line end.
inline std::string hexRecord(int type, std::uint16_t offset,
                             const std::vector<std::uint8_t>& data) {
    static const char* digits = "0123456789ABCDEF";
    std::string line = ":";
    unsigned sum = 0;
    const auto put = [&](std::uint8_t b) {
        line += digits[b >> 4];
        line += digits[b & 15];
        sum += b;
    };
    put(static_cast<std::uint8_t>(data.size()));
    put(static_cast<std::uint8_t>(offset >> 8));
    put(static_cast<std::uint8_t>(offset & 0xFF));
    put(static_cast<std::uint8_t>(type));
    for (auto b : data)
        put(b);
    put(static_cast<std::uint8_t>(-sum & 0xFF));
    return line;
}

inline std::string dataRecord(std::uint16_t offset, const std::vector<std::uint8_t>& data) {
    return hexRecord(0, offset, data);
}

// Extended linear address record: upper 16 bits of the HEX byte address.
inline std::string linearBase(std::uint16_t upper) {
    return hexRecord(
        4, 0, {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper & 0xFF)});
}

inline std::string endOfFile() {
    return hexRecord(1, 0, {});
}

} // namespace vorna::uploader::test
