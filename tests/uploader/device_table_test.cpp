#include "device_table.h"
#include "tool_made_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

using namespace vorna::uploader;
using namespace vorna::uploader::test;

namespace {

// The 8-byte identification reply; noise fills the bytes the lookup must not read.
IdentityReply reply(std::uint16_t deviceId, std::uint8_t processId, std::uint8_t noise = 0) {
    const std::uint8_t lo = deviceId & 0xFF, hi = deviceId >> 8,
                       pid = processId << 4 | (noise & 15);
    return {lo, hi, noise, noise, noise, pid, noise, noise};
}

// One entry as "name 0xID process family" plus " *" when only the current build has it.
std::string describe(const DeviceTableEntry& e) {
    char text[80];
    std::snprintf(text, sizeof text, "%s 0x%04X %d %d%s", e.name, unsigned{e.deviceId},
                  int{e.processId}, e.family, e.currentBuildOnly ? " *" : "");
    return text;
}

} // namespace

TEST(DeviceTable, BothBuildsHoldExactlyTheTranscribedTableInItsOrder) {
    // fixtures/device_table.txt is transcribed from the written device list, not from the
    // code: "name ID process family *|-".
    std::vector<std::string> current, earlier;
    for (const auto& line : QString(fixtureBytes("device_table.txt")).split('\n')) {
        const auto f = line.split(' ', Qt::SkipEmptyParts);
        if (f.size() != 5 || f[0].startsWith('#')) continue;
        const bool starred = f[4] == "*";
        const std::string entry =
            QString("%1 %2 %3 %4%5").arg(f[0], f[1], f[2], f[3], starred ? " *" : "").toStdString();
        current.push_back(entry);
        if (!starred) earlier.push_back(entry);
    }
    ASSERT_EQ(current.size(), 130u);
    ASSERT_EQ(earlier.size(), 77u);
    for (const auto& [policy, want] :
         {std::pair{&sirvexPolicy(), &current}, std::pair{&tamrixPolicy(), &earlier}}) {
        std::vector<std::string> got;
        for (const auto& e : deviceTable(*policy))
            got.push_back(describe(e));
        EXPECT_EQ(got, *want) << policy->programName;
    }
}

TEST(DeviceTable, EachBuildFindsEveryEntryByItsIdsTheFirstOfTwinsWinning) {
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
