#include "database_init.h"
#include "logs.h"
#include "test_env.h"
#include "text_grid.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace vorna;

TEST(EventCoding, ChecksumAndXorCoding) {
    EXPECT_EQ(write_crc("abc"), 38);
    EXPECT_EQ(write_crc(""), 0);
    EXPECT_EQ(write_crc(QString(300, QChar(0xff))), (300 * 255) % 256);
    EXPECT_EQ(write_crc(QString::fromUtf8("é")), 0xe9);
    EXPECT_EQ(write_crc(QString::fromUtf8("€")), '?'); // outside the code page

    const QString self = StringEncodeAndDecode("PASSWORD", "PASSWORD");
    EXPECT_EQ(self, QString(8, QChar(0)));

    const QString text = "LISTMISURA 3 4\t12.5" + QString(QChar(write_crc("x")));
    const QString enc = StringEncodeAndDecode(text + QString::fromUtf8("àé"), eventKey());
    EXPECT_EQ(enc.size(), text.size() + 2);
    EXPECT_NE(enc, text + QString::fromUtf8("àé"));
    EXPECT_EQ(StringEncodeAndDecode(enc, eventKey()), text + QString::fromUtf8("àé"));
    EXPECT_EQ(eventKey().size(), 30);
}

namespace {
struct Logs : ::testing::Test {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    void SetUp() override { ASSERT_TRUE(database_init(ctx)); }
    QString decodedEvent(qint64 id) {
        RecordSet rs = RecordSet::query(ctx.db, "tab1", "WHERE ID=?", {id});
        return StringEncodeAndDecode(rs.text("MEMO1"), eventKey());
    }
};
} // namespace

TEST_F(Logs, ErrorGoesToDebugLogAndAsEncodedEventRow) {
    ctx.fwVersionText = "FV 2.1.5";
    print_error(ctx, "trasmette", "3", 13, "Type mismatch");
    const QStringList lines = env.debugLog().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("\ttrasmette\t3"));
    EXPECT_EQ(lines[1], "13\tType mismatch");

    RecordSet rs = RecordSet::table(ctx.db, "tab1");
    ASSERT_EQ(rs.rowCount(), 1);
    EXPECT_EQ(rs.integer("INT1"), kEventError);
    EXPECT_EQ(rs.text("TEXT1"), "FV 2.1.5");
    EXPECT_EQ(rs.text("TEXT2"), "ZMB 4.5");
    const QString event = decodedEvent(rs.id());
    const QString body = "FUNCT ERROR (trasmette)\t13\tType mismatch\t3";
    EXPECT_EQ(event, body + QChar(write_crc(body)));
}

TEST_F(Logs, TrimKeepsTheNewestRowsOnly) {
    // limit + 5 rows: the five oldest go; at the limit nothing goes.
    ctx.db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 100005) "
                "INSERT INTO tab1 (MEMO1, INT1) SELECT 'e' || i, 2 FROM n");
    ASSERT_TRUE(delete_rows_by_tab1(ctx));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM tab1"), kEventRowLimit);
    EXPECT_EQ(ctx.db.scalar("SELECT MIN(ID) FROM tab1"), 6);
    ASSERT_TRUE(delete_rows_by_tab1(ctx));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM tab1"), kEventRowLimit);
    EXPECT_EQ(ctx.db.scalar("SELECT MAX(ID) FROM tab1"), 100005);
}

TEST_F(Logs, UnwritableLogLosesTheEntryOnly) {
    QFile::remove(env.path("debug.log"));
    ASSERT_TRUE(QDir().mkdir(env.path("debug.log"))); // a folder where the file should be
    print_error(ctx, "x", "y", 0, "");
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM tab1"), 1); // the event row still lands
    ctx.db.close();
    print_error(ctx, "x", "y", 0, ""); // neither log usable: no throw, no crash
}

namespace {
struct Grid : TextGrid {
    std::vector<QStringList> rows;
    int selected = -1;
    int rowCount() const override { return int(rows.size()); }
    QString cellText(int r, int c) const override { return rows[size_t(r)].value(c); }
    void selectRow(int r) override { selected = r; }
};
} // namespace

TEST_F(Logs, GridExportSkipsColumnZeroAndTheLastRow) {
    Grid g;
    g.rows = {QStringList{""}};
    EXPECT_EQ(make_file_logger(ctx, g), QString());
    EXPECT_EQ(g.selected, 0);

    QStringList row{"#"};
    for (int c = 1; c <= 26; ++c)
        row << QString::number(c);
    g.rows = {row, QStringList{""}};
    const QString out = make_file_logger(ctx, g);
    EXPECT_TRUE(out.startsWith("1\t2\t"));
    EXPECT_TRUE(out.endsWith("24\t25\t\r\n"));
    EXPECT_FALSE(out.contains("26"));
    EXPECT_EQ(g.selected, 1);
}
