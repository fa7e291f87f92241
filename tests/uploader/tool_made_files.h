#pragma once

// Files made by real tools (fixtures/make_fixtures.sh runs srec_cat and objcopy) and, from its
// manifest, the bytes each tool was given: the expectation owes nothing to our HEX reader.

#include "test_env.h"

#include <QString>

#include <cstdint>
#include <map>

namespace vorna::uploader::test {

inline const QString kFixtures = QStringLiteral(VORNA_UPLOADER_FIXTURES "/");

// File bytes by HEX byte address (twice the device address).
using FileBytes = std::map<std::uint32_t, std::uint8_t>;

inline QByteArray fixtureBytes(const QString& name) {
    return vorna::test::readFile(kFixtures + name);
}

// Every byte of the blocks the manifest places in a HEX file.
inline FileBytes toolGivenBytes(const QString& hexName) {
    FileBytes bytes;
    for (const auto& line : QString(fixtureBytes("manifest.txt")).split('\n')) {
        const auto parts = line.split(' ', Qt::SkipEmptyParts);
        if (parts.size() != 3 || parts[0] != hexName) continue;
        const QByteArray data = fixtureBytes(parts[1]);
        const auto base = parts[2].toUInt(nullptr, 16);
        for (qsizetype i = 0; i < data.size(); ++i)
            bytes[std::uint32_t(base + i)] = std::uint8_t(data[i]);
    }
    return bytes;
}

} // namespace vorna::uploader::test
