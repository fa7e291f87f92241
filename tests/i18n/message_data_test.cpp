// Reading the catalogue's data file: escapes, tolerated editor habits, and faults reported by line.
#include "message_catalogue.h"
#include "message_data.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using vorna::fillMessages;
using vorna::MessageCatalogue;
using vorna::MessageDataError;

namespace {

MessageCatalogue filled(const QByteArray& data, int first = 0, int last = 299) {
    MessageCatalogue c;
    fillMessages(c, first, last, data);
    return c;
}

int faultLine(const QByteArray& data, int first = 0, int last = 299) {
    try {
        filled(data, first, last);
    } catch (const MessageDataError& e) {
        return e.line();
    }
    return -1;
}

} // namespace

TEST(MessageData, EscapesAndEdgeBlanks) {
    const auto c = filled("# comment\n"
                          "\n"
                          "5\t\\sa  b\\s\\s\tx\\ty\tl1\\nl2\tback\\\\slash\t\\s\tspare\n");
    EXPECT_EQ(c.text(0, 5), " a  b  ");
    EXPECT_EQ(c.text(1, 5), "x\ty");
    EXPECT_EQ(c.text(2, 5), "l1\nl2");
    EXPECT_EQ(c.text(3, 5), "back\\slash");
    EXPECT_EQ(c.text(4, 5), " ");
    EXPECT_EQ(c.text(5, 5), "spare");
}

TEST(MessageData, ToleratesEditorHabits) {
    // Byte order mark, CR LF line ends, and empty trailing columns left out.
    QByteArray data("\xEF\xBB\xBF"
                    "7\tSeven\tSept\r\n"
                    "8\t\t\t\t\\swirklich l\xC3\xB6schen\r\n");
    const auto c = filled(data);
    EXPECT_EQ(c.text(0, 7), "Seven");
    EXPECT_EQ(c.text(1, 7), "Sept");
    EXPECT_EQ(c.text(2, 7), "");
    EXPECT_EQ(c.text(5, 7), "");
    EXPECT_EQ(c.text(3, 8), QString::fromUtf8(" wirklich löschen"));
    EXPECT_EQ(c.text(0, 8), "");
}

TEST(MessageData, FaultsNameTheirLine) {
    EXPECT_EQ(faultLine("1\tok\n2\ttrailing \n"), 2);  // plain blank at the end
    EXPECT_EQ(faultLine("1\t leading\n"), 1);          // plain blank at the start
    EXPECT_EQ(faultLine("#\n1\tbad \\q escape\n"), 2); // unknown escape
    EXPECT_EQ(faultLine("1\tends with \\\n"), 1);      // lone backslash
    EXPECT_EQ(faultLine("300\tx\n"), 1);               // number out of range
    EXPECT_EQ(faultLine("-1\tx\n"), 1);
    EXPECT_EQ(faultLine("+1\tx\n"), 1);
    EXPECT_EQ(faultLine("x1\tx\n"), 1);
    EXPECT_EQ(faultLine("1\ta\n\n1\tb\n"), 3);           // listed twice
    EXPECT_EQ(faultLine("1\ta\tb\tc\td\te\tf\tg\n"), 1); // an eighth column
    EXPECT_EQ(faultLine("1\tsnow\xE2\x98\x83man\n"), 1); // outside ISO 8859-1
    EXPECT_EQ(faultLine("1\t\xC3\x28\n"), 0);            // not UTF-8
    EXPECT_EQ(faultLine("1\tEUR \xE2\x82\xAC\n"), 1);
}

TEST(MessageData, RowsOutsideTheRangeAreNotExamined) {
    const QByteArray data("1\tone\n"
                          "150\tbad \\q\n"
                          "2\ttwo\n"
                          "3\tthree \\z\n");
    MessageCatalogue c;
    c.set(0, 3, "old");
    EXPECT_NO_THROW(fillMessages(c, 0, 2, data));
    EXPECT_EQ(c.text(0, 2), "two");
    EXPECT_EQ(c.text(0, 3), "old");
}

TEST(MessageData, PartialFillKeepsWhatWasRead) {
    const QByteArray data("1\tone\n"
                          "150\tbad \\q\n"
                          "2\ttwo\n"
                          "3\tthree \\z\n"
                          "4\tfour\n");
    MessageCatalogue c;
    try {
        fillMessages(c, 0, 98, data);
        FAIL() << "line 4 is malformed";
    } catch (const MessageDataError& e) {
        EXPECT_EQ(e.line(), 4);
        EXPECT_NE(std::string(e.what()).find("line 4"), std::string::npos);
    }
    EXPECT_EQ(c.text(0, 1), "one");
    EXPECT_EQ(c.text(0, 2), "two");
    EXPECT_EQ(c.text(0, 4), "");
    EXPECT_EQ(c.text(0, 150), "");
    EXPECT_THROW(fillMessages(c, 99, 199, data), MessageDataError);
    MessageCatalogue rest;
    EXPECT_NO_THROW(fillMessages(rest, 4, 99, data));
    EXPECT_EQ(rest.text(0, 4), "four");
}

TEST(MessageData, BuiltInFileIsWellFormed) {
    const QByteArray data = vorna::builtInMessageData();
    ASSERT_FALSE(data.isEmpty());
    EXPECT_EQ(faultLine(data), -1);
    // One line per message, in order, none missing.
    int expected = 0;
    for (const QByteArray& line : data.split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        EXPECT_EQ(line.split('\t').first().toInt(), expected) << line.constData();
        ++expected;
    }
    EXPECT_EQ(expected, MessageCatalogue::kMessages);
}

TEST(MessageData, SurvivesDamagedFiles) {
    // Whatever a bad edit or a broken resource does, the reader either fills or reports a fault.
    const QByteArray good = vorna::builtInMessageData();
    QRandomGenerator rng(20240611);
    const char alphabet[] = "\t\n\r\\ s#0123456789x\xC3\xA9\xFF";
    for (int round = 0; round < 400; ++round) {
        QByteArray data = good;
        const int edits = 1 + int(rng.bounded(8));
        for (int e = 0; e < edits; ++e) {
            const int at = int(rng.bounded(data.size()));
            switch (rng.bounded(3)) {
            case 0:
                data[at] = alphabet[rng.bounded(int(sizeof alphabet - 1))];
                break;
            case 1:
                data.remove(at, int(rng.bounded(40)));
                break;
            default:
                data.insert(at, alphabet[rng.bounded(int(sizeof alphabet - 1))]);
                break;
            }
        }
        MessageCatalogue c;
        try {
            fillMessages(c, 0, 299, data);
        } catch (const MessageDataError&) {
        }
    }
    SUCCEED();
}
