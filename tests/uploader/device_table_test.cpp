#include "device_table.h"

#include <gtest/gtest.h>

#include <set>

using namespace vorna::uploader;

namespace {

// The 8-byte identification reply; noise fills the bytes the lookup must not read.
IdentityReply reply(std::uint16_t deviceId, std::uint8_t processId, std::uint8_t noise = 0) {
    const std::uint8_t lo = deviceId & 0xFF, hi = deviceId >> 8,
                       pid = processId << 4 | (noise & 15);
    return {lo, hi, noise, noise, noise, pid, noise, noise};
}

} // namespace

TEST(DeviceTable, EachBuildFindsEveryEntryByItsIdsTheEarlierTableLackingOnlyTheStarredOnes) {
    const auto current = deviceTable(sirvexPolicy());
    const auto earlier = deviceTable(tamrixPolicy());
    ASSERT_EQ(current.size(), 130u);
    ASSERT_EQ(earlier.size(), 77u);
    std::vector<std::pair<std::string, int>> unstarred, got;
    for (const auto& e : current)
        if (!e.currentBuildOnly) unstarred.emplace_back(e.name, e.deviceId);
    for (const auto& e : earlier)
        got.emplace_back(e.name, e.deviceId);
    EXPECT_EQ(got, unstarred);
    // Every entry is found by its IDs, unless an earlier one shares both.
    for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()}) {
        std::set<std::pair<int, int>> seen;
        for (const auto& e : deviceTable(*policy)) {
            const auto hit = lookupDevice(reply(e.deviceId, e.processId, 0xA5), *policy);
            ASSERT_TRUE(hit.found()) << e.name;
            const bool first = seen.insert({e.deviceId, e.processId}).second;
            EXPECT_TRUE(!first || hit.entry == &e) << e.name;
            EXPECT_EQ(hit.family, hit.entry->family);
        }
        // Entries sharing a device ID differ in the process ID: another one matches none.
        EXPECT_FALSE(lookupDevice(reply(0x00C1, 2, 0x5A), *policy).found());
    }
}
