#pragma once

#include <cstdint>
#include <map>
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

// A whole file of these bytes (by HEX byte address): records of up to perRecord bytes, each
// ending at a gap or a 64 KB boundary, a linear address record where the upper bits change,
// `extra` before the end record; lines end in CR LF.
inline std::string hexFile(const std::map<std::uint32_t, std::uint8_t>& bytes,
                           std::size_t perRecord, const std::string& extra = {}) {
    std::string out;
    std::int64_t upper = -1;
    std::uint32_t start = 0;
    std::vector<std::uint8_t> data;
    const auto flush = [&] {
        if (data.empty()) return;
        if (start >> 16 != upper) out += linearBase(std::uint16_t(upper = start >> 16)) + "\r\n";
        out += dataRecord(std::uint16_t(start), data) + "\r\n";
        data.clear();
    };
    for (const auto& [at, byte] : bytes) {
        if (at != start + data.size() || at % 0x10000 == 0 || data.size() == perRecord) flush();
        if (data.empty()) start = at;
        data.push_back(byte);
    }
    flush();
    return out + (extra.empty() ? "" : extra + "\r\n") + endOfFile() + "\r\n";
}

} // namespace vorna::uploader::test
