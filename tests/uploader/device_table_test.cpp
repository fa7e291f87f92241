#include "device_table.h"
#include "qt_print.h"

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

TEST(DeviceTable, EachBuildFindsEveryEntryTheEarlierTableLackingOnlyTheStarredOnes) {
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
    }
}

TEST(DeviceTable, SharedIdsAreToldApartByTheProcessIdAndSharedNamesByTheId) {
    const std::tuple<std::uint16_t, std::uint8_t, QString> cases[] = {
        {0x00C1, 1, "dsPIC30F3012"},
        {0x00C1, 3, "dsPIC33FJ64GP206"},
        {0x00C1, 2, ""},
        {0x00C0, 1, "dsPIC30F2011"},
        {0x0240, 1, "dsPIC30F2011"}};
    for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()})
        for (const auto& [id, processId, name] : cases)
            EXPECT_EQ(lookupDevice(reply(id, processId, 0x5A), *policy).name(), name) << id;
}
