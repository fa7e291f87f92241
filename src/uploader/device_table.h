#pragma once

#include "build_policy.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace vorna::uploader {

enum Family : int { kDsPic30F = 0, kDsPic33F = 1, kPic24H = 2, kPic24F = 3 };

struct DeviceTableEntry {
    const char* name;
    std::uint16_t deviceId;
    std::uint8_t processId; // 4 bits
    int family;
    bool currentBuildOnly; // absent from the earlier build's table
};

// The build's device table in lookup order: 130 entries for the current build, 77 for the
// earlier one. The terminating entry (no name, family 0) is not part of the span; a failed
// lookup yields it.
std::span<const DeviceTableEntry> deviceTable(const BuildPolicy& policy);

using IdentityReply = std::array<std::uint8_t, 8>;

struct DeviceLookup {
    const DeviceTableEntry* entry = nullptr; // nullptr: no entry matched
    int family = kDsPic30F;                  // 0 when nothing matched
    std::uint16_t deviceId = 0;              // reply byte 0 + 256 x reply byte 1
    std::uint8_t processId = 0;              // upper four bits of reply byte 5
    // The build that reports the lookup: "Found <name> (ID: 0x<id>)" or "No Family";
    // empty for the build that only uses the family.
    QString message;

    bool found() const { return entry != nullptr; }
    QString name() const { return entry ? QString::fromLatin1(entry->name) : QString(); }
};

// Takes the first entry whose device ID and process ID both match the identification reply.
DeviceLookup lookupDevice(const IdentityReply& reply, const BuildPolicy& policy);

} // namespace vorna::uploader
