#include "device_table.h"

#include <algorithm>

namespace vorna::uploader {

namespace {

// Lookup order matters: the first entry matching both IDs wins.
constexpr std::array<DeviceTableEntry, 130> kCurrentTable{{
    // Family 0 (dsPIC30F), process ID 1
    {"dsPIC30F2010", 0x0040, 1, 0, false},
    {"dsPIC30F2011", 0x00C0, 1, 0, false},
    {"dsPIC30F2011", 0x0240, 1, 0, false},
    {"dsPIC30F2012", 0x00C2, 1, 0, false},
    {"dsPIC30F2012", 0x0241, 1, 0, false},
    {"dsPIC30F3010", 0x01C0, 1, 0, false},
    {"dsPIC30F3011", 0x01C1, 1, 0, false},
    {"dsPIC30F3012", 0x00C1, 1, 0, false},
    {"dsPIC30F3013", 0x00C3, 1, 0, false},
    {"dsPIC30F3014", 0x0160, 1, 0, false},
    {"dsPIC30F4011", 0x0101, 1, 0, false},
    {"dsPIC30F4012", 0x0100, 1, 0, false},
    {"dsPIC30F4013", 0x0141, 1, 0, false},
    {"dsPIC30F5011", 0x0080, 1, 0, false},
    {"dsPIC30F5013", 0x0081, 1, 0, false},
    {"dsPIC30F5015", 0x0200, 1, 0, false},
    {"dsPIC30F5016", 0x0201, 1, 0, false},
    {"dsPIC30F6010", 0x0188, 1, 0, false},
    {"dsPIC30F6010A", 0x0281, 1, 0, false},
    {"dsPIC30F6011", 0x0192, 1, 0, false},
    {"dsPIC30F6011A", 0x02C0, 1, 0, false},
    {"dsPIC30F6012", 0x0193, 1, 0, false},
    {"dsPIC30F6012A", 0x02C2, 1, 0, false},
    {"dsPIC30F6013", 0x0197, 1, 0, false},
    {"dsPIC30F6013A", 0x02C1, 1, 0, false},
    {"dsPIC30F6014", 0x0198, 1, 0, false},
    {"dsPIC30F6014A", 0x02C3, 1, 0, false},
    {"dsPIC30F6015", 0x0280, 1, 0, false},
    // Family 1 (dsPIC33F), process ID 3
    {"dsPIC33FJ64GP206", 0x00C1, 3, 1, false},
    {"dsPIC33FJ64GP306", 0x00CD, 3, 1, false},
    {"dsPIC33FJ64GP310", 0x00CF, 3, 1, false},
    {"dsPIC33FJ64GP706", 0x00D5, 3, 1, false},
    {"dsPIC33FJ64GP708", 0x00D6, 3, 1, false},
    {"dsPIC33FJ64GP710", 0x00D7, 3, 1, false},
    {"dsPIC33FJ128GP206", 0x00D9, 3, 1, false},
    {"dsPIC33FJ128GP306", 0x00E5, 3, 1, false},
    {"dsPIC33FJ128GP310", 0x00E7, 3, 1, false},
    {"dsPIC33FJ128GP706", 0x00ED, 3, 1, false},
    {"dsPIC33FJ128GP708", 0x00EE, 3, 1, false},
    {"dsPIC33FJ128GP710", 0x00EF, 3, 1, false},
    {"dsPIC33FJ256GP506", 0x00F5, 3, 1, false},
    {"dsPIC33FJ256GP510", 0x00F7, 3, 1, false},
    {"dsPIC33FJ256GP710", 0x00FF, 3, 1, false},
    {"dsPIC33FJ64MC506", 0x0089, 3, 1, false},
    {"dsPIC33FJ64MC508", 0x008A, 3, 1, false},
    {"dsPIC33FJ64MC510", 0x008B, 3, 1, false},
    {"dsPIC33FJ64MC706", 0x0091, 3, 1, false},
    {"dsPIC33FJ64MC710", 0x0097, 3, 1, false},
    {"dsPIC33FJ128MC506", 0x00A1, 3, 1, false},
    {"dsPIC33FJ128MC510", 0x00A3, 3, 1, false},
    {"dsPIC33FJ128MC706", 0x00A9, 3, 1, false},
    {"dsPIC33FJ128MC708", 0x00AE, 3, 1, false},
    {"dsPIC33FJ128MC710", 0x00AF, 3, 1, false},
    {"dsPIC33FJ256MC510", 0x00B7, 3, 1, false},
    {"dsPIC33FJ256MC710", 0x00BF, 3, 1, false},
    {"dsPIC33FJ12GP201", 0x0802, 3, 1, true},
    {"dsPIC33FJ12GP202", 0x0803, 3, 1, true},
    {"dsPIC33FJ12MC201", 0x0800, 3, 1, true},
    {"dsPIC33FJ12MC202", 0x0801, 3, 1, true},
    {"dsPIC33FJ32GP204", 0x0F0F, 3, 1, true},
    {"dsPIC33FJ32GP202", 0x0F0D, 3, 1, true},
    {"dsPIC33FJ16GP304", 0x0F07, 3, 1, true},
    {"dsPIC33FJ32MC204", 0x0F0B, 3, 1, true},
    {"dsPIC33FJ32MC202", 0x0F09, 3, 1, true},
    {"dsPIC33FJ16MC304", 0x0F03, 3, 1, true},
    {"dsPIC33FJ128GP804", 0x062F, 3, 1, true},
    {"dsPIC33FJ128GP802", 0x062D, 3, 1, true},
    {"dsPIC33FJ128GP204", 0x0627, 3, 1, true},
    {"dsPIC33FJ128GP202", 0x0625, 3, 1, true},
    {"dsPIC33FJ64GP804", 0x061F, 3, 1, true},
    {"dsPIC33FJ64GP802", 0x061D, 3, 1, true},
    {"dsPIC33FJ64GP204", 0x0617, 3, 1, true},
    {"dsPIC33FJ64GP202", 0x0615, 3, 1, true},
    {"dsPIC33FJ32GP304", 0x0607, 3, 1, true},
    {"dsPIC33FJ32GP302", 0x0605, 3, 1, true},
    {"dsPIC33FJ128MC804", 0x062B, 3, 1, true},
    {"dsPIC33FJ128MC802", 0x0629, 3, 1, true},
    {"dsPIC33FJ128MC204", 0x0623, 3, 1, true},
    {"dsPIC33FJ128MC202", 0x0621, 3, 1, true},
    {"dsPIC33FJ64MC804", 0x061B, 3, 1, true},
    {"dsPIC33FJ64MC802", 0x0619, 3, 1, true},
    {"dsPIC33FJ64MC204", 0x0613, 3, 1, true},
    {"dsPIC33FJ64MC202", 0x0611, 3, 1, true},
    {"dsPIC33FJ32MC304", 0x0603, 3, 1, true},
    {"dsPIC33FJ32MC302", 0x0601, 3, 1, true},
    {"dsPIC33FJ06GS101", 0x0C00, 3, 1, true},
    {"dsPIC33FJ06GS102", 0x0C01, 3, 1, true},
    {"dsPIC33FJ06GS202", 0x0C02, 3, 1, true},
    {"dsPIC33FJ16GS402", 0x0C04, 3, 1, true},
    {"dsPIC33FJ16GS404", 0x0C06, 3, 1, true},
    {"dsPIC33FJ16GS502", 0x0C03, 3, 1, true},
    {"dsPIC33FJ16GS504", 0x0C05, 3, 1, true},
    // Family 2 (PIC24H), process ID 3
    {"PIC24HJ64GP206", 0x0041, 3, 2, false},
    {"PIC24HJ64GP210", 0x0047, 3, 2, false},
    {"PIC24HJ64GP506", 0x0049, 3, 2, false},
    {"PIC24HJ64GP510", 0x004B, 3, 2, false},
    {"PIC24HJ128GP206", 0x005D, 3, 2, false},
    {"PIC24HJ128GP210", 0x005F, 3, 2, false},
    {"PIC24HJ128GP306", 0x0065, 3, 2, false},
    {"PIC24HJ128GP310", 0x0067, 3, 2, false},
    {"PIC24HJ128GP506", 0x0061, 3, 2, false},
    {"PIC24HJ128GP510", 0x0063, 3, 2, false},
    {"PIC24HJ256GP206", 0x0071, 3, 2, false},
    {"PIC24HJ256GP210", 0x0073, 3, 2, false},
    {"PIC24HJ256GP610", 0x007B, 3, 2, false},
    {"PIC24HJ256GP610A", 0x077B, 3, 2, true},
    {"PIC24HJ12GP201", 0x080A, 3, 2, true},
    {"PIC24HJ12GP202", 0x080B, 3, 2, true},
    {"PIC24HJ32GP204", 0x0F1F, 3, 2, true},
    {"PIC24HJ32GP202", 0x0F1D, 3, 2, true},
    {"PIC24HJ16GP304", 0x0F17, 3, 2, true},
    {"PIC24HJ128GP504", 0x067F, 3, 2, true},
    {"PIC24HJ128GP502", 0x067D, 3, 2, true},
    {"PIC24HJ128GP204", 0x0667, 3, 2, true},
    {"PIC24HJ128GP202", 0x0665, 3, 2, true},
    {"PIC24HJ64GP504", 0x0677, 3, 2, true},
    {"PIC24HJ64GP502", 0x0675, 3, 2, true},
    {"PIC24HJ64GP204", 0x0657, 3, 2, true},
    {"PIC24HJ64GP202", 0x0655, 3, 2, true},
    {"PIC24HJ32GP304", 0x0647, 3, 2, true},
    {"PIC24HJ32GP302", 0x0645, 3, 2, true},
    // Family 3 (PIC24F), process ID 3
    {"PIC24FJ64GA006", 0x0405, 3, 3, false},
    {"PIC24FJ64GA008", 0x0408, 3, 3, false},
    {"PIC24FJ64GA010", 0x040B, 3, 3, false},
    {"PIC24FJ96GA006", 0x0406, 3, 3, false},
    {"PIC24FJ96GA008", 0x0409, 3, 3, false},
    {"PIC24FJ96GA010", 0x040C, 3, 3, false},
    {"PIC24FJ128GA006", 0x0407, 3, 3, false},
    {"PIC24FJ128GA008", 0x040A, 3, 3, false},
    {"PIC24FJ128GA010", 0x040D, 3, 3, false},
}};

constexpr std::size_t kEarlierCount = static_cast<std::size_t>(std::count_if(
    kCurrentTable.begin(), kCurrentTable.end(), [](const auto& e) { return !e.currentBuildOnly; }));

// The earlier build knows the same devices minus the newer ones, in the same order.
constexpr auto kEarlierTable = [] {
    std::array<DeviceTableEntry, kEarlierCount> table{};
    std::size_t n = 0;
    for (const auto& e : kCurrentTable)
        if (!e.currentBuildOnly) table[n++] = e;
    return table;
}();

static_assert(kEarlierCount == 77);

} // namespace

std::span<const DeviceTableEntry> deviceTable(const BuildPolicy& policy) {
    if (policy.fullDeviceTable) return kCurrentTable;
    return kEarlierTable;
}

DeviceLookup lookupDevice(const IdentityReply& reply, const BuildPolicy& policy) {
    DeviceLookup result;
    result.deviceId = static_cast<std::uint16_t>(reply[0] + 256 * reply[1]);
    result.processId = static_cast<std::uint8_t>(reply[5] >> 4);
    const auto table = deviceTable(policy);
    const auto it = std::find_if(table.begin(), table.end(), [&](const DeviceTableEntry& e) {
        return e.deviceId == result.deviceId && e.processId == result.processId;
    });
    if (it != table.end()) {
        result.entry = &*it;
        result.family = it->family;
    }
    if (policy.lookupShowsResult)
        result.message = result.entry ? QString::asprintf(policy.foundFormat, result.entry->name,
                                                          unsigned{result.deviceId})
                                      : QString::fromLatin1(policy.noFamilyText);
    return result;
}

} // namespace vorna::uploader
