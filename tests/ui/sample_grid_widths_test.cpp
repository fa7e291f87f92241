#include "sample_grid_view.h"
#include "twips.h"

#include <QHeaderView>
#include <QStyle>
#include <functional>
#include <gtest/gtest.h>

using namespace vorna;

namespace {

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

// Both ways a grid gets its rows: the first sample sets the widths, from its own texts and the
// captions; a column whose texts are short keeps its 1100 twips.
TEST(SampleGrid, ColumnsFitTheCaptionsAndTheFirstRowsTexts) {
    SampleRow first;
    first.data = QDate(2024, 6, 14);
    first.ora = QTime(9, 5, 30);
    first.values.fill(1.5);
    const struct {
        const char* how;
        std::function<void(SampleGridModel&)> fill;
    } ways[] = {
        {"one sample", [&](SampleGridModel& m) { m.appendSample(first); }},
        {"a whole query",
         [&](SampleGridModel& m) {
             m.setSamples({first, first, first});
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        SampleGridView view(QLocale(QLocale::English, QLocale::UnitedKingdom), CellRules::Live);
        view.grid().setCaptions(kCaptions);
        QHeaderView& header = *view.horizontalHeader();
        for (int c = 0; c < kGridColumns; ++c)
            EXPECT_GE(header.sectionSize(c), needed(header, kCaptions[c])) << c;
        way.fill(view.grid());
        EXPECT_GE(header.sectionSize(1), needed(view, "14/06/2024"));
        EXPECT_GE(header.sectionSize(2), needed(view, "09:05:30"));
        EXPECT_GE(header.sectionSize(23), needed(view, "FAULT"));
        for (int c = 0; c < kGridColumns; ++c)
            EXPECT_GE(header.sectionSize(c), needed(header, kCaptions[c])) << c;
        EXPECT_EQ(header.sectionSize(0), twips(kGridColumnTwips));
    }
}
