#include "schedule.h"

#include <gtest/gtest.h>

using namespace vorna;

TEST(Schedule, ValidaHhMm) {
    struct Case {
        const char *startH, *startM, *stopH, *stopM;
        bool valid;
    };
    const Case cases[] = {
        {"8", "0", "8", "0", false},      // start equal to stop
        {"8", "0", "8", "1", true},       // one minute
        {"8", "1", "8", "0", false},      // reversed
        {"9", "0", "8", "59", false},     // reversed hours
        {"22", "59", "22", "59", false},  // the last minute twice
        {"22", "58", "22", "59", true},   // 22 is the last hour
        {"0", "10", "8", "0", false},     // hour 0
        {"1", "0", "8", "0", true},       // hour 1
        {"8", "0", "23", "0", false},     // stop hour 23
        {"8", "0", "8", "60", false},     // minute 60
        {"8", "60", "9", "0", false},     // start minute 60
        {"07", "00", "08", "05", true},   // leading zeros
        {"", "0", "8", "1", false},       // empty
        {"8", "", "9", "0", false},       // empty
        {"8", "0", "9", "", false},       // empty
        {" 7", "0", "8", "0", false},     // blank
        {"7 ", "0", "8", "0", false},     // blank
        {"+7", "0", "8", "0", false},     // sign
        {"-7", "0", "8", "0", false},     // sign
        {"7", "0", "8", "-0", false},     // sign
        {"70000", "0", "8", "0", false},  // beyond 16 bits
        {"32768", "0", "8", "0", false},  // just beyond
        {"8", "0", "9", "32767", false},  // fits 16 bits, out of range
        {"0000008", "0", "9", "0", true}, // many zeros still fit
        {"7.5", "0", "8", "0", false},    // decimal
        {"\u0667", "0", "8", "0", false}, // a digit of another script
    };
    for (const auto& c : cases) {
        EXPECT_EQ(valida_hh_mm(QString::fromUtf8(c.startH), c.startM, c.stopH, c.stopM), c.valid)
            << c.startH << ":" << c.startM << "-" << c.stopH << ":" << c.stopM;
    }
    const auto w = dailyWindow("07", "05", "21", "09");
    ASSERT_TRUE(w);
    EXPECT_EQ(w->start, QTime(7, 5));
    EXPECT_EQ(w->stop, QTime(21, 9));
    EXPECT_FALSE(w->contains(QTime(7, 4)));
    EXPECT_TRUE(w->contains(QTime(7, 5)));
    EXPECT_TRUE(w->contains(QTime(21, 9)));
    EXPECT_FALSE(w->contains(QTime(21, 10)));
}

TEST(Schedule, IntervalFromListPosition) {
    const qint16 expected[] = {1, 5, 10, 15, 20};
    for (int pos = 0; pos < 5; ++pos)
        EXPECT_EQ(intervalAt(pos, 7), expected[pos]);
    EXPECT_EQ(intervalAt(-1, 10), 10);
    EXPECT_EQ(intervalAt(5, 15), 15);
}
