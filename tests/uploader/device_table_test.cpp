#include "device_table.h"

#include <gtest/gtest.h>

#include <set>

using namespace vorna::uploader;

namespace {

IdentityReply reply(std::uint16_t deviceId, std::uint8_t processId, std::uint8_t noise = 0) {
    return {static_cast<std::uint8_t>(deviceId & 0xFF),
            static_cast<std::uint8_t>(deviceId >> 8),
            noise,
            noise,
            noise,
            static_cast<std::uint8_t>(processId << 4 | (noise & 0x0F)),
            noise,
            noise};
}

} // namespace

TEST(DeviceTable, CurrentBuildHas130EntriesAndTheEarlierTheUnstarred77InTheSameOrder) {
    const auto current = deviceTable(sirvexPolicy());
    const auto earlier = deviceTable(tamrixPolicy());
    ASSERT_EQ(current.size(), 130u);
    ASSERT_EQ(earlier.size(), 77u);
    EXPECT_STREQ(current.front().name, "dsPIC30F2010");
    EXPECT_STREQ(current.back().name, "PIC24FJ128GA010");
    std::size_t k = 0;
    for (const auto& e : current) {
        if (e.currentBuildOnly) continue;
        ASSERT_LT(k, earlier.size());
        EXPECT_STREQ(earlier[k].name, e.name);
        EXPECT_EQ(earlier[k].deviceId, e.deviceId);
        ++k;
    }
    std::map<int, int> perFamily;
    for (const auto& e : current) {
        ++perFamily[e.family];
        EXPECT_EQ(e.processId, e.family == 0 ? 1 : 3) << e.name;
    }
    EXPECT_EQ(perFamily, (std::map<int, int>{{0, 28}, {1, 64}, {2, 29}, {3, 9}}));
}

TEST(DeviceTable, SharedIdIsToldApartByTheProcessId) {
    for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()}) {
        const auto thirty = lookupDevice(reply(0x00C1, 1, 0xA5), *policy);
        EXPECT_STREQ(thirty.entry->name, "dsPIC30F3012");
        EXPECT_EQ(thirty.family, kDsPic30F);
        const auto thirtyThree = lookupDevice(reply(0x00C1, 3, 0x5A), *policy);
        EXPECT_STREQ(thirtyThree.entry->name, "dsPIC33FJ64GP206");
        EXPECT_EQ(thirtyThree.family, kDsPic33F);
        EXPECT_FALSE(lookupDevice(reply(0x00C1, 2), *policy).found());
    }
}

TEST(DeviceTable, DuplicateNamesHaveDistinctIds) {
    const auto a = lookupDevice(reply(0x00C0, 1), sirvexPolicy());
    const auto b = lookupDevice(reply(0x0240, 1), sirvexPolicy());
    EXPECT_EQ(a.name(), "dsPIC30F2011");
    EXPECT_EQ(b.name(), "dsPIC30F2011");
    EXPECT_NE(a.entry, b.entry);
    EXPECT_EQ(lookupDevice(reply(0x0241, 1), tamrixPolicy()).name(), "dsPIC30F2012");
}

TEST(DeviceTable, EachBuildReportsTheLookupItsOwnWay) {
    const auto pic24h = reply(0x0071, 3);
    const auto current = lookupDevice(pic24h, sirvexPolicy());
    EXPECT_EQ(current.family, kPic24H);
    EXPECT_TRUE(current.message.isEmpty());
    const auto earlier = lookupDevice(pic24h, tamrixPolicy());
    EXPECT_EQ(earlier.message, "Found PIC24HJ256GP206 (ID: 0x0071)");

    // A starred device: known to the current build only.
    const auto newer = reply(0x077B, 3);
    EXPECT_EQ(lookupDevice(newer, sirvexPolicy()).name(), "PIC24HJ256GP610A");
    const auto unknown = lookupDevice(newer, tamrixPolicy());
    EXPECT_FALSE(unknown.found());
    EXPECT_EQ(unknown.family, 0);
    EXPECT_EQ(unknown.message, "No Family");
    EXPECT_EQ(unknown.deviceId, 0x077B);
    EXPECT_EQ(unknown.processId, 3);

    const auto none = lookupDevice(reply(0xFFFF, 15), sirvexPolicy());
    EXPECT_FALSE(none.found());
    EXPECT_EQ(none.family, 0) << "the terminating entry's family";
}

TEST(DeviceTable, EveryEntryIsFoundUnlessAnEarlierOneSharesBothIds) {
    for (const auto* policy : {&sirvexPolicy(), &tamrixPolicy()}) {
        std::set<std::pair<int, int>> seen;
        for (const auto& e : deviceTable(*policy)) {
            const auto hit = lookupDevice(reply(e.deviceId, e.processId), *policy);
            ASSERT_TRUE(hit.found());
            if (seen.insert({e.deviceId, e.processId}).second) {
                EXPECT_EQ(hit.entry, &e) << e.name;
                EXPECT_EQ(hit.family, e.family);
            }
        }
    }
}
