#include "sample_grid_view.h"
#include "test_env.h"
#include "twips.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vorna;

namespace {

SampleRow sampleAt(int second) {
    SampleRow r;
    r.data = QDate(2011, 6, 30);
    r.ora = QTime(10, 0).addSecs(second);
    r.values.fill(1.5);
    return r;
}

} // namespace

// The live window's way: one sample at a time into the empty row, the empty row kept last.
TEST(SampleGrid, AppendFillsTheEmptyRowAndKeepsOneAfterIt) {
    SampleGridView view(test::kItalianPc, CellRules::Live);
    SampleGridModel& m = view.grid();
    QStringList captions;
    for (int c = 0; c < kGridColumns; ++c)
        captions << QString("c%1").arg(c);
    m.setCaptions(captions);
    EXPECT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.headerData(22, Qt::Horizontal).toString(), "c22");
    EXPECT_EQ(view.horizontalHeader()->sectionSize(25), twips(1100));

    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
    m.appendSample(sampleAt(0));
    m.appendSample(sampleAt(1));
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted[1][1].toInt(), 1); // inserted before the empty row
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.data(m.index(1, 0)).toString(), "2");
    EXPECT_EQ(m.data(m.index(1, 2)).toString(), "10:00:01");
    EXPECT_EQ(m.data(m.index(1, 3)).toString(), "1,5");
    EXPECT_EQ(m.data(m.index(2, 0)).toString(), "");

    // make_file_logger puts the current row back on the empty row.
    m.table().selectRow(m.table().rowCount() - 1);
    EXPECT_EQ(view.currentGridRow(), 3);
}

// The browser's way: a whole query with one reset.
TEST(SampleGrid, SetSamplesResetsOnceAndClearLeavesTheEmptyRow) {
    SampleGridView view(test::kUsPc, CellRules::Stored);
    SampleGridModel& m = view.grid();
    std::vector<SampleRow> rows;
    for (int i = 0; i < 1000; ++i)
        rows.push_back(sampleAt(i));
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
    m.setSamples(std::move(rows));
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(m.rowCount(), 1001);
    EXPECT_EQ(m.data(m.index(999, 0)).toString(), "1000");
    EXPECT_EQ(m.data(m.index(999, 2)).toString(), "10:16:39");
    m.clearSamples();
    EXPECT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.table().rowCount(), 2);
}
