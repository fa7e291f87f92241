#include "database_init.h"
#include "logs.h"
#include "test_env.h"
#include "test_rows.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vorna;
using test::kEventKeyText;

// Fixed vectors, worked out by hand from the log format: the key, sums and exclusive-ors.
TEST(EventCoding, ChecksumAndXorCodingAgainstFixedVectors) {
    EXPECT_EQ(eventKey(), QString(kEventKeyText));
    EXPECT_EQ(write_crc("abc"), 38);
    EXPECT_EQ(write_crc(""), 0);
    EXPECT_EQ(write_crc(QString(300, QChar(0xff))), (300 * 255) % 256);
    EXPECT_EQ(write_crc(QString::fromUtf8("é")), 0xe9);
    EXPECT_EQ(write_crc(QString::fromUtf8("€")), '?'); // outside the code page

    EXPECT_EQ(StringEncodeAndDecode("PASSWORD", "PASSWORD"), QString(8, QChar(0)));
    // 'A' ^ 'k' = 0x2a, 0xe9 ^ '9' = 0xd0, '?' ^ 'm' = 0x52 for the euro sign; the key repeats.
    EXPECT_EQ(StringEncodeAndDecode(QString::fromUtf8("Aé€"), kEventKeyText),
              QString::fromLatin1("\x2a\xd0\x52"));
    EXPECT_EQ(StringEncodeAndDecode(QString(31, 'k'), kEventKeyText).back(), QChar(0));
    const QString withCrc = "LISTMISURA 3 4\t12.5" + QString::fromUtf8("àé") + QChar(0x9c);
    EXPECT_EQ(StringEncodeAndDecode(StringEncodeAndDecode(withCrc, kEventKeyText), kEventKeyText),
              withCrc);
}

namespace {
struct Logs : ::testing::Test {
    test::TestEnv env{test::kItalianPc};
    AppContext& ctx = *env.ctx;
    void SetUp() override { ASSERT_TRUE(database_init(ctx)); }
};
} // namespace

TEST_F(Logs, BothLogsStampTheirLinesAndAnErrorIsAlsoAnEncodedEventRow) {
    ctx.fwVersionText = "FV 2.1.5";
    print_error(ctx, "trasmette", "3", 13, "Type mismatch");
    append_traffic_log(ctx, "W on 1\tTIME?");
    // The stamp's text is logTimeText's; here both logs begin their lines with it.
    const QRegularExpression stamp("^\\d\\d/\\d\\d/20\\d\\d \\d\\d:\\d\\d:\\d\\d\\t");
    const QString traffic = QString::fromLatin1(test::readFile(env.path("s.log")));
    EXPECT_TRUE(stamp.match(traffic).hasMatch()) << traffic.toStdString();
    EXPECT_TRUE(traffic.endsWith("\tW on 1\tTIME?\r\n"));
    const QStringList lines = env.debugLog().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(stamp.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("\ttrasmette\t3"));
    EXPECT_EQ(lines[1], "13\tType mismatch");

    EXPECT_EQ(test::rowsAsText(ctx.db, "SELECT INT1, TEXT1, TEXT2, typeof(MEMO1) FROM tab1"),
              QStringList{QString::number(kEventError) + "|FV 2.1.5|ZMB 4.5|blob"});
    // The bytes' coding is EventCoding's; here they decode to the entry, checksum intact.
    EXPECT_EQ(env.events(kEventError),
              QStringList{"FUNCT ERROR (trasmette)\t13\tType mismatch\t3"});
}

TEST_F(Logs, EventRowsWrittenAsTextStillDecode) {
    const QString plain = QString::fromUtf8("R on 11\tLOGO?=Città");
    const QString encoded = StringEncodeAndDecode(plain + QChar(write_crc(plain)), kEventKeyText);
    ASSERT_EQ(encoded.at(9), QChar(0)); // 'O' meets the key's 'O': a 0 inside the text
    ctx.db.prepare("INSERT INTO tab1 (MEMO1, INT1) VALUES (?, 2)").bind(1, encoded).run();
    record_event(ctx, plain, kEventSerialLine);
    RecordSet rs = RecordSet::select(ctx.db, "SELECT MEMO1 FROM tab1 ORDER BY ID");
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        EXPECT_EQ(StringEncodeAndDecode(storedEventText(rs.field("MEMO1")), kEventKeyText),
                  plain + QChar(write_crc(plain)));
    EXPECT_EQ(rs.rowCount(), 2);
}

TEST(LogTime, RegionalDateWithFourDigitYearAndSeconds) {
    const QDateTime when(QDate(2026, 12, 7), QTime(0, 46, 12));
    const struct {
        QLocale locale;
        const char* text;
    } cases[] = {
        {test::kItalianPc, "07/12/2026 00:46:12"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "07/12/2026 00:46:12"},
        {test::kGermanPc, "07.12.2026 00:46:12"},
        {test::kUsPc, "12/7/2026 12:46:12 AM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logTimeText(c.locale, when), c.text) << c.locale.name().toStdString();
}

TEST_F(Logs, TrimKeepsTheNewestRowsOnly) {
    // limit + 5 rows: the five oldest go; at the limit nothing goes.
    ctx.db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 100005) "
                "INSERT INTO tab1 (MEMO1, INT1) SELECT 'e' || i, 2 FROM n");
    for (int pass = 1; pass <= 2; ++pass) {
        ASSERT_TRUE(delete_rows_by_tab1(ctx));
        EXPECT_EQ(test::rowsAsText(ctx.db, "SELECT COUNT(*), MIN(ID), MAX(ID) FROM tab1"),
                  QStringList{"100000|6|100005"})
            << pass;
    }
}

TEST_F(Logs, UnwritableLogLosesTheEntryOnly) {
    QFile::remove(env.path("debug.log"));
    ASSERT_TRUE(QDir().mkdir(env.path("debug.log"))); // a folder where the file should be
    print_error(ctx, "x", "y", 0, "");
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM tab1"), 1); // the event row still lands
    ctx.db.close();
    print_error(ctx, "x", "y", 0, ""); // neither log usable: no throw, no crash
}
