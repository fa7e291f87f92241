#include "regional_date.h"
#include "sample_table.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace vorna;

namespace {

using test::kGermanPc;
using test::kItalianPc;
using test::kUsPc;

// A sample whose every value column holds a plain number, 10 + column.
SampleRow plainRow() {
    SampleRow r;
    r.data = QDate(2011, 6, 30);
    r.ora = QTime(9, 5, 7);
    for (int c = 3; c < kGridColumns; ++c)
        if (c != kGridResultColumn) r.value(c) = 10 + c;
    return r;
}

QString cell(const SampleRow& r, int column, CellRules rules, const QLocale& l = kUsPc) {
    return sampleCellText(r, 7, column, CellFormat(l, rules));
}

} // namespace

TEST(SampleCells, FixedColumnsOnBothPcs) {
    SampleRow r = plainRow();
    r.value(3) = 812.5;
    for (const auto rules : {CellRules::Live, CellRules::Stored}) {
        EXPECT_EQ(cell(r, 0, rules), "7");
        EXPECT_EQ(cell(r, 1, rules), "30/06/2011");
        EXPECT_EQ(cell(r, 1, rules, kItalianPc), "30/06/2011");
        EXPECT_EQ(cell(r, 1, rules, kGermanPc), "30.06.2011");
        EXPECT_EQ(cell(r, 2, rules), "09:05:07");
        EXPECT_EQ(cell(r, 3, rules), "812.5");
        EXPECT_EQ(cell(r, 3, rules, kItalianPc), "812,5");
        EXPECT_EQ(cell(r, 23, rules), "FAULT");
        r.ESITOAC = true;
        EXPECT_EQ(cell(r, 23, rules), "PASS");
        r.ESITOAC = false;
    }
}

TEST(SampleCells, NoValueHidesEveryNumberAndNoChannelOnlyLinesAndPhasesTwoAndThree) {
    for (const QLocale& l : {kUsPc, kItalianPc}) {
        for (const auto rules : {CellRules::Live, CellRules::Stored}) {
            for (int c = 3; c < kGridColumns; ++c) {
                if (c == kGridResultColumn) continue;
                SampleRow r = plainRow();
                r.value(c) = -2000;
                EXPECT_EQ(cell(r, c, rules, l), "---") << c;
                r.value(c) = -10000;
                const bool lineOrPhase23 = (c >= 10 && c <= 13) || (c >= 17 && c <= 20);
                EXPECT_EQ(cell(r, c, rules, l), lineOrPhase23 ? "---" : "-10000") << c;
                // Its neighbours keep their numbers.
                const int other = c == 3 ? 4 : 3;
                EXPECT_EQ(cell(r, other, rules, l), QString::number(10 + other)) << c;
            }
        }
    }
}

TEST(SampleCells, StoredRowsAlsoHideHighIrradianceAndIdlePairs) {
    struct Case {
        int voltageColumn;
        double voltage, current;
        bool idle;
    };
    const Case cases[] = {
        {10, 8000, 800, true},  {12, 8000, 800, true}, {17, 800, 800, true},
        {19, 800, 800, true},   {10, 8000, 5, false},  {10, 800, 800, false},
        {17, 8000, 800, false}, {8, 8000, 800, false}, {15, 800, 800, false},
    };
    for (const Case& k : cases) {
        SampleRow r = plainRow();
        r.value(k.voltageColumn) = k.voltage;
        r.value(k.voltageColumn + 1) = k.current;
        const QString v = QString::number(k.voltage), i = QString::number(k.current);
        EXPECT_EQ(cell(r, k.voltageColumn, CellRules::Stored), k.idle ? "---" : v)
            << k.voltageColumn;
        EXPECT_EQ(cell(r, k.voltageColumn + 1, CellRules::Stored), k.idle ? "---" : i)
            << k.voltageColumn;
        EXPECT_EQ(cell(r, k.voltageColumn, CellRules::Live), v);
        EXPECT_EQ(cell(r, k.voltageColumn + 1, CellRules::Live), i);
    }
    SampleRow r = plainRow();
    r.value(3) = 2000;
    EXPECT_EQ(cell(r, 3, CellRules::Stored), "2000");
    r.value(3) = 2000.1;
    EXPECT_EQ(cell(r, 3, CellRules::Stored), "---");
    EXPECT_EQ(cell(r, 3, CellRules::Live, kItalianPc), "2000,1");
    r.value(4) = 2000.1; // only irradiance has the limit
    EXPECT_EQ(cell(r, 4, CellRules::Stored), "2000.1");
}

TEST(SampleCells, FromRecordPutsEachFieldInItsColumn) {
    MeasurementRecord m;
    m.data = QDate(2011, 3, 27);
    m.ora = QTime(23, 59, 59);
    m.ESITOAC = true;
    // Values that tell the fields apart, in record order; the column each belongs to.
    const std::pair<double MeasurementRecord::*, int> fields[] = {
        {&MeasurementRecord::rad, 3},     {&MeasurementRecord::TEMPAMB, 4},
        {&MeasurementRecord::TEMPPAN, 5}, {&MeasurementRecord::COEFFTEMP, 6},
        {&MeasurementRecord::POTRAD, 7},  {&MeasurementRecord::VDC1, 8},
        {&MeasurementRecord::IDC1, 9},    {&MeasurementRecord::VDC2, 10},
        {&MeasurementRecord::IDC2, 11},   {&MeasurementRecord::VDC3, 12},
        {&MeasurementRecord::IDC3, 13},   {&MeasurementRecord::POTDC, 14},
        {&MeasurementRecord::VAC1, 15},   {&MeasurementRecord::IAC1, 16},
        {&MeasurementRecord::VAC2, 17},   {&MeasurementRecord::IAC2, 18},
        {&MeasurementRecord::VAC3, 19},   {&MeasurementRecord::IAC3, 20},
        {&MeasurementRecord::POTAC, 21},  {&MeasurementRecord::REAL2, 22},
        {&MeasurementRecord::RENDDC, 24}, {&MeasurementRecord::RENDAC, 25},
    };
    for (const auto& [field, column] : fields)
        m.*field = column + 0.25;
    const SampleRow r = SampleRow::fromRecord(m);
    for (const auto& [field, column] : fields)
        EXPECT_EQ(cell(r, column, CellRules::Live), QString::number(column + 0.25)) << column;
    EXPECT_EQ(cell(r, 1, CellRules::Live), "27/03/2011");
    EXPECT_EQ(cell(r, 2, CellRules::Live), "23:59:59");
    EXPECT_EQ(cell(r, 23, CellRules::Live), "PASS");
}

TEST(SampleTableGrid, CaptionsSamplesAndTheEmptyRow) {
    SampleTable t(kItalianPc, CellRules::Live);
    QStringList captions;
    for (int c = 0; c < kGridColumns; ++c)
        captions << QString("h%1").arg(c);
    t.setCaptions(captions);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.cellText(0, 25), "h25");
    EXPECT_EQ(t.cellText(1, 0), "");
    SampleRow r = plainRow();
    r.value(3) = 0.5;
    t.append(r);
    t.append(plainRow());
    EXPECT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.cellText(1, 3), "0,5");
    EXPECT_EQ(t.cellText(2, 0), "2");
    EXPECT_EQ(t.cellText(3, 3), "");
    EXPECT_THROW(t.cellText(4, 0), std::out_of_range);
    EXPECT_THROW(t.cellText(1, 26), std::out_of_range);
    int selected = -1;
    t.onSelectRow = [&](int row) { selected = row; };
    t.selectRow(3);
    EXPECT_EQ(selected, 3);
    t.clear();
    EXPECT_EQ(t.rowCount(), 2);
}

TEST(RegionalDate, BothOrdersWithTheLocalesSeparator) {
    const QDate d(2011, 1, 2);
    EXPECT_EQ(yearMonthDayText(kUsPc, d), "2011/01/02");
    EXPECT_EQ(yearMonthDayText(kGermanPc, d), "2011.01.02");
    EXPECT_EQ(dayMonthYearText(QLocale(QLocale::Swedish, QLocale::Sweden), d), "02-01-2011");
    EXPECT_EQ(dayMonthYearText(kItalianPc, QDate(987, 12, 31)), "31/12/0987");
}
