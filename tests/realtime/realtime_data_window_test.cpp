#include "browser_steps.h"

#include <QDir>

using namespace vorna;
using namespace vorna::test;

TEST(RealtimeData, DayListsBoxesAndAnotherPlant) {
    Rig s;
    const qint64 uno = insertPlant(s.db(), "Uno"), due = insertPlant(s.db(), "Due");
    const qint64 tre = insertPlant(s.db(), "Tre");
    for (const char* day : {"2011-07-01", "2010-12-31", "2011-06-30", "2011-07-01"})
        insertStored(s.db(), uno, day, "10:00:00");
    insertStored(s.db(), due, "2012-01-01", "10:00:00");
    s.open("realtime_data");
    ASSERT_NE(browser(s), nullptr);
    EXPECT_EQ(s.ctx().childWindowOpen, 1);
    EXPECT_EQ(s.entries("cbImp").size(), 4);
    EXPECT_EQ(s.entries("cbStartH").join(','), "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,"
                                               "20,21,22");
    EXPECT_EQ(s.entries("cbStopM").size(), 60);
    EXPECT_FALSE(s.on("cbDate") || s.on("bttSalva"));

    s.click("bttGrafico");
    EXPECT_EQ(s.env.prompts.lastWarning(), "Select plant/Error");

    choosePlant(s, uno);
    EXPECT_TRUE(s.find("cbDate")->isEnabled());
    EXPECT_EQ(s.entries("cbDate"), QStringList({"2010/12/31", "2011/06/30", "2011/07/01"}));
    EXPECT_EQ(s.find<QComboBox>("cbDate")->currentIndex(), -1);
    s.click("bttGrafico");
    EXPECT_EQ(s.env.prompts.lastWarning(), "Select date/Error");
    EXPECT_EQ(chart(s), nullptr);

    chooseDay(s, "2011/06/30");
    EXPECT_EQ(column(s, 2), QStringList({"10:00:00"}));
    EXPECT_TRUE(s.find("bttSalva")->isEnabled());

    // Another plant empties the grid and the day list.
    choosePlant(s, due);
    EXPECT_EQ(s.entries("cbDate"), QStringList({"2012/01/01"}));
    EXPECT_TRUE(column(s, 0).isEmpty());
    EXPECT_FALSE(s.find("bttSalva")->isEnabled());

    // A plant without samples: an empty, enabled day list.
    choosePlant(s, tre);
    EXPECT_TRUE(s.entries("cbDate").isEmpty());
    EXPECT_TRUE(s.find("cbDate")->isEnabled());

    s.choose("cbImp", 0);
    EXPECT_FALSE(s.find("cbDate")->isEnabled());
    s.closeChild();
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
}

// The range from its start's second 0 to its stop's second 59. A row with a null value is
// skipped and the numbers stay consecutive; one without the version texts is shown.
TEST(RealtimeData, TimeRangesFromSecondZeroToFiftyNine) {
    Rig s;
    const qint64 uno = insertPlant(s.db(), "Uno");
    for (const char* t :
         {"22:59:59", "00:59:59", "01:00:00", "09:04:59", "09:05:59", "09:05:00", "23:00:00"})
        insertStored(s.db(), uno, "2011-06-30", t);
    insertStored(s.db(), uno, "2011-06-30", "09:05:30", {{"TEMPPAN", QVariant()}});
    insertStored(s.db(), uno, "2011-06-30", "09:06:00", {{"TEXT1", {}}, {"TEXT2", {}}});
    openDay(s, uno, "2011/06/30");
    EXPECT_EQ(column(s, 2), QStringList({"01:00:00", "09:04:59", "09:05:00", "09:05:59", "09:06:00",
                                         "22:59:59"}));
    EXPECT_EQ(column(s, 0), QStringList({"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(column(s, 1), QStringList(6, "30/06/2011"));
    EXPECT_TRUE(s.env.debugLog().contains("insert_new_row"));
    EXPECT_FALSE(s.env.debugLog().contains("aggiornaMisureTabella"));
    chooseRange(s, 9, 5, 9, 5);
    EXPECT_EQ(column(s, 2), QStringList({"09:05:00", "09:05:59"}));
    chooseRange(s, 10, 0, 9, 59);
    EXPECT_TRUE(column(s, 2).isEmpty());
    EXPECT_EQ(browser(s)->grid().rowCount(), 2);
    EXPECT_TRUE(s.env.prompts.warnings.empty());
}

// The datalogger file as the real-time window writes it (byte for byte there), with what the
// browser does its own way: three bare CRs after the plant block and the stored rows' rules (no
// value and an idle pair "---").
TEST(RealtimeData, SavedDayAsTheGridShowsItCancelWritesNothing) {
    Rig s;
    const qint64 uno = insertPlant(s.db(), "Impianto Uno ");
    insertStored(s.db(), uno, "2011-06-30", "09:05:00");
    insertStored(s.db(), uno, "2011-06-30", "09:06:00",
                 {{"rad", -2000}, {"VDC2", 8000}, {"IDC2", 800}, {"POTRAD", 2.25}, {"ESITOAC", 0}});
    openDay(s, uno, "2011/06/30");

    // Cancelled: no file, not even under the proposed name.
    s.click("bttSalva");
    EXPECT_EQ(s.env.prompts.saveDialogs, 1);
    EXPECT_EQ(s.env.prompts.saveShown.back().filter, "(*.txt)");
    EXPECT_EQ(s.env.prompts.saveShown.back().suggested, s.env.path("datalogger"));
    EXPECT_EQ(QDir(s.env.dir.path()).entryList({"datalogger*"}, QDir::Files).size(), 0);

    // A blank name asks again.
    const QString name = s.env.path("day.txt");
    s.env.prompts.saveNames = {"   ", name};
    s.click("bttSalva");
    EXPECT_EQ(s.env.prompts.saveDialogs, 3);
    const QList<QByteArray> lines = readFile(name).split('\n');
    ASSERT_EQ(lines.size(), 10 + 3 + 1 + 1);
    EXPECT_EQ(lines[4], "Name: Impianto Uno \r");
    EXPECT_TRUE(lines[10].startsWith("\r\r\rDate\tTime\tRad.\t"));
    const QString ones = QString("1.5\t").repeated(11);
    EXPECT_EQ(lines[11], ("30/06/2011\t09:05:00\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t1.5\t" +
                          ones + "PASS\t1.5\t1.5\t\r")
                             .toLatin1());
    EXPECT_EQ(lines[12], ("30/06/2011\t09:06:00\t---\t1.5\t1.5\t1.5\t2.25\t1.5\t1.5\t---\t---\t" +
                          ones + "FAULT\t1.5\t1.5\t\r")
                             .toLatin1());
    EXPECT_EQ(lines[13], "\r");
}
