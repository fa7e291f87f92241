#include "message_catalogue.h"
#include "message_data.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using vorna::fillMessages;
using vorna::MessageCatalogue;
using vorna::MessageDataError;

namespace {

// The line of the first fault in data (0: the file as a whole), or -1 when it reads cleanly.
int faultLine(const QByteArray& data, int first = 0, int last = 299) {
    try {
        MessageCatalogue c;
        fillMessages(c, first, last, data);
    } catch (const MessageDataError& e) {
        if (e.line() > 0) {
            EXPECT_NE(std::string(e.what()).find("line " + std::to_string(e.line())),
                      std::string::npos);
        }
        return e.line();
    }
    return -1;
}

} // namespace

TEST(MessageData, EscapesAndEditorHabits) {
    // Byte order mark, comments, blank lines, CR LF, and the empty trailing columns left out.
    MessageCatalogue c;
    fillMessages(c, 0, 299,
                 "\xEF\xBB\xBF# comment\r\n\r\n"
                 "5\t\\sa  b\\s\\s\tx\\ty\tl1\\nl2\tback\\\\slash\t\\s\tspare\r\n"
                 "8\t\t\t\t\\swirklich l\xC3\xB6schen\n");
    const struct {
        int language, number;
        const char* text;
    } want[] = {
        {0, 5, " a  b  "}, {1, 5, "x\ty"},  {2, 5, "l1\nl2"}, {3, 5, "back\\slash"},
        {4, 5, " "},       {5, 5, "spare"}, {0, 8, ""},       {3, 8, " wirklich l\xC3\xB6schen"},
        {5, 8, ""}};
    for (const auto& w : want)
        EXPECT_EQ(c.text(w.language, w.number), QString::fromUtf8(w.text))
            << w.number << " " << w.language;
}

TEST(MessageData, FaultsNameTheirLine) {
    // A plain blank at an edge, an unknown escape, a lone backslash, a number out of range,
    // listed twice, an eighth column, outside ISO 8859-1, not UTF-8 (the file as a whole).
    const std::pair<QByteArray, int> cases[] = {
        // clang-format off
        {"1\tok\n2\ttrailing \n", 2}, {"1\t leading\n", 1}, {"#\n1\tbad \\q escape\n", 2},
        {"1\tends with \\\n", 1}, {"300\tx\n", 1}, {"-1\tx\n", 1}, {"+1\tx\n", 1}, {"x1\tx\n", 1},
        {"1\ta\n\n1\tb\n", 3}, {"1\ta\tb\tc\td\te\tf\tg\n", 1}, {"1\tsnow\xE2\x98\x83man\n", 1},
        {"1\tEUR \xE2\x82\xAC\n", 1}, {"1\t\xC3\x28\n", 0},
        // clang-format on
    };
    for (const auto& [data, line] : cases)
        EXPECT_EQ(faultLine(data), line) << data.toStdString();
}

TEST(MessageData, FillExaminesOnlyItsRangeAndKeepsWhatItReadBeforeAFault) {
    const QByteArray data("1\tone\n"
                          "150\tbad \\q\n"
                          "2\ttwo\n"
                          "3\tthree \\z\n"
                          "4\tfour\n");
    MessageCatalogue c;
    c.set(0, 3, "old");
    EXPECT_NO_THROW(fillMessages(c, 0, 2, data));
    EXPECT_EQ(c.text(0, 2), "two");
    EXPECT_EQ(c.text(0, 3), "old");

    EXPECT_THROW(fillMessages(c, 0, 98, data), MessageDataError);
    EXPECT_EQ(c.text(0, 1), "one");
    EXPECT_EQ(c.text(0, 4), "") << "entries after the fault stay empty";
    EXPECT_EQ(faultLine(data, 0, 98), 4);
    EXPECT_EQ(faultLine(data, 99, 199), 2);
}

TEST(MessageData, SurvivesDamagedFiles) {
    // Whatever a bad edit or a broken resource does, the reader either fills or reports a fault.
    const QByteArray good = vorna::builtInMessageData();
    ASSERT_EQ(faultLine(good), -1);
    QRandomGenerator rng(20240611);
    const char alphabet[] = "\t\n\r\\ s#0123456789x\xC3\xA9\xFF";
    const auto randomChar = [&] { return alphabet[rng.bounded(int(sizeof alphabet - 1))]; };
    for (int round = 0; round < 400; ++round) {
        QByteArray data = good;
        for (int e = 1 + int(rng.bounded(8)); e > 0; --e) {
            const int at = int(rng.bounded(data.size()));
            switch (rng.bounded(3)) {
            case 0:
                data[at] = randomChar();
                break;
            case 1:
                data.remove(at, int(rng.bounded(40)));
                break;
            default:
                data.insert(at, randomChar());
                break;
            }
        }
        faultLine(data);
    }
}
