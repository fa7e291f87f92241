#include "typing_limit.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace vorna;

TEST(TypingLimit, LimitsTypingAndPastingButNotTextSetFromCode) {
    QLineEdit box;
    limitTyping(&box, 5);
    QTest::keyClicks(&box, "abcdefg");
    EXPECT_EQ(box.text(), "abcde");

    box.setText("0123456789"); // from the instrument or the database: kept whole
    EXPECT_EQ(box.text(), "0123456789");
    box.end(false);
    QTest::keyClicks(&box, "x");
    EXPECT_EQ(box.text(), "0123456789");
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_EQ(box.text(), "012345678");
    box.home(false);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_EQ(box.text(), "12345678");
}
