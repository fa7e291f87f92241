#include "sample_grid_view.h"
#include "test_env.h"
#include "twips.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QStyle>
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

// The English captions of the grid.
const QStringList kCaptions = {
    "Nr.",          "Date", "Time",   "Rad.",        "T. env.",    "T. pan.", "Temp. Coeff.",
    "Avail. Power", "VDC1", "IDC1",   "VDC2",        "IDC2",       "VDC3",    "IDC3",
    "DC Power",     "VAC1", "IAC1",   "VAC2",        "IAC2",       "VAC3",    "IAC3",
    "AC Power",     "PRp",  "Result", "Pan. Effic.", "Inv. Effic."};

// The width a cell needs to show a text whole: the text and an item view's margin on each side.
int needed(const QWidget& w, const QString& text) {
    const int margin = w.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &w) + 1;
    return w.fontMetrics().horizontalAdvance(text) + 2 * margin;
}

} // namespace

// The live window's way: one sample at a time into the empty row, the empty row kept last.
TEST(SampleGrid, AppendFillsTheEmptyRowAndKeepsOneAfterIt) {
    SampleGridView view(test::kItalianPc, CellRules::Live);
    SampleGridModel& m = view.grid();
    m.setCaptions(kCaptions);
    EXPECT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.headerData(22, Qt::Horizontal).toString(), "PRp");

    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
    m.appendSample(sampleAt(0));
    m.appendSample(sampleAt(1));
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted[1][1].toInt(), 1); // inserted before the empty row
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(m.rowCount(), 3);
    const auto text = [&](int row, int column) { return m.data(m.index(row, column)).toString(); };
    EXPECT_EQ(text(1, 0) + "|" + text(1, 2) + "|" + text(1, 3) + "|" + text(2, 0),
              "2|10:00:01|1,5|");

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

// Both ways a grid gets its rows: the first sample sets the widths, from its own texts and the
// captions; a column whose texts are short keeps its 1100 twips.
TEST(SampleGrid, ColumnsFitTheCaptionsAndTheFirstRowsTexts) {
    for (const bool wholeQuery : {false, true}) {
        SCOPED_TRACE(wholeQuery ? "a whole query" : "one sample");
        SampleGridView view(QLocale(QLocale::English, QLocale::UnitedKingdom), CellRules::Live);
        view.grid().setCaptions(kCaptions);
        QHeaderView& header = *view.horizontalHeader();
        for (int c = 0; c < kGridColumns; ++c)
            EXPECT_GE(header.sectionSize(c), needed(header, kCaptions[c])) << c;
        if (wholeQuery)
            view.grid().setSamples({sampleAt(0), sampleAt(1)});
        else
            view.grid().appendSample(sampleAt(0));
        EXPECT_GE(header.sectionSize(1), needed(view, "30/06/2011"));
        EXPECT_GE(header.sectionSize(2), needed(view, "10:00:00"));
        EXPECT_GE(header.sectionSize(23), needed(view, "FAULT"));
        for (int c = 0; c < kGridColumns; ++c)
            EXPECT_GE(header.sectionSize(c), needed(header, kCaptions[c])) << c;
        EXPECT_EQ(header.sectionSize(0), twips(kGridColumnTwips));
    }
}
