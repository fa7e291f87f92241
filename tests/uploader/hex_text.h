#pragma once

#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace vorna::uploader::test {

// One Intel HEX record with a correct checksum, upper-case digits, no line end.
inline std::string hexRecord(int type, std::uint16_t offset, std::vector<std::uint8_t> data) {
    data.insert(data.begin(), {std::uint8_t(data.size()), std::uint8_t(offset >> 8),
                               std::uint8_t(offset), std::uint8_t(type)});
    data.push_back(std::uint8_t(-std::accumulate(data.begin(), data.end(), 0u)));
    std::string line = ":";
    for (auto b : data)
        line += {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
    return line;
}

inline std::string dataRecord(std::uint16_t offset, const std::vector<std::uint8_t>& data) {
    return hexRecord(0, offset, data);
}

// Extended linear address record: upper 16 bits of the HEX byte address.
inline std::string linearBase(std::uint16_t upper) {
    return hexRecord(4, 0, {std::uint8_t(upper >> 8), std::uint8_t(upper)});
}

inline std::string endOfFile() {
    return hexRecord(1, 0, {});
}

} // namespace vorna::uploader::test
