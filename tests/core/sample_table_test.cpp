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
    SampleRow passed = r;
    passed.ESITOAC = true;
    for (const auto rules : {CellRules::Live, CellRules::Stored}) {
        // Number, date, time, irradiance and result.
        const auto fixed = [&](const SampleRow& s, const QLocale& l) {
            QStringList out;
            for (int c : {0, 1, 2, 3, 23})
                out << cell(s, c, rules, l);
            return out.join(' ');
        };
        EXPECT_EQ(fixed(r, kUsPc), "7 30/06/2011 09:05:07 812.5 FAULT");
        EXPECT_EQ(fixed(r, kItalianPc), "7 30/06/2011 09:05:07 812,5 FAULT");
        EXPECT_EQ(fixed(r, kGermanPc), "7 30.06.2011 09:05:07 812,5 FAULT");
        EXPECT_EQ(fixed(passed, kUsPc), "7 30/06/2011 09:05:07 812.5 PASS");
    }
}

TEST(SampleCells, NoValueHidesEveryNumberAndNoChannelOnlyLinesAndPhasesTwoAndThree) {
    for (const auto rules : {CellRules::Live, CellRules::Stored}) {
        for (int c = 3; c < kGridColumns; ++c) {
            if (c == kGridResultColumn) continue;
            SampleRow r = plainRow();
            r.value(c) = -2000;
            EXPECT_EQ(cell(r, c, rules), "---") << c;
            r.value(c) = -10000;
            const bool lineOrPhase23 = (c >= 10 && c <= 13) || (c >= 17 && c <= 20);
            EXPECT_EQ(cell(r, c, rules), lineOrPhase23 ? "---" : "-10000") << c;
            // Its neighbours keep their numbers.
            const int other = c == 3 ? 4 : 3;
            EXPECT_EQ(cell(r, other, rules), QString::number(10 + other)) << c;
        }
    }
}

// A voltage and the current beside it, as stored and live rows show them; only irradiance
// (column 3) has a limit.
TEST(SampleCells, StoredRowsAlsoHideHighIrradianceAndIdlePairs) {
    const struct {
        int column;
        double value, next;
        const char *stored, *storedNext;
    } cases[] = {{10, 8000, 800, "---", "---"},  {12, 8000, 800, "---", "---"},
                 {17, 800, 800, "---", "---"},   {19, 800, 800, "---", "---"},
                 {10, 8000, 5, "8000", "5"},     {10, 800, 800, "800", "800"},
                 {17, 8000, 800, "8000", "800"}, {8, 8000, 800, "8000", "800"},
                 {15, 800, 800, "800", "800"},   {3, 2000, 14, "2000", "14"},
                 {3, 2000.1, 14, "---", "14"},   {4, 2000.1, 15, "2000.1", "15"}};
    for (const auto& c : cases) {
        SampleRow r = plainRow();
        r.value(c.column) = c.value;
        r.value(c.column + 1) = c.next;
        EXPECT_EQ(cell(r, c.column, CellRules::Stored), c.stored) << c.column << " " << c.value;
        EXPECT_EQ(cell(r, c.column + 1, CellRules::Stored), c.storedNext) << c.column;
        EXPECT_EQ(cell(r, c.column, CellRules::Live), QString::number(c.value));
        EXPECT_EQ(cell(r, c.column + 1, CellRules::Live), QString::number(c.next));
    }
}

TEST(SampleCells, FromRecordPutsEachFieldInItsColumn) {
    MeasurementRecord m;
    m.data = QDate(2011, 3, 27);
    m.ora = QTime(23, 59, 59);
    m.ESITOAC = true;
    // The grid's value columns from 3 on, the result column 23 left out; each field gets a
    // value that tells it apart.
    using M = MeasurementRecord;
    double M::*const fields[] = {&M::rad,    &M::TEMPAMB, &M::TEMPPAN, &M::COEFFTEMP, &M::POTRAD,
                                 &M::VDC1,   &M::IDC1,    &M::VDC2,    &M::IDC2,      &M::VDC3,
                                 &M::IDC3,   &M::POTDC,   &M::VAC1,    &M::IAC1,      &M::VAC2,
                                 &M::IAC2,   &M::VAC3,    &M::IAC3,    &M::POTAC,     &M::REAL2,
                                 &M::RENDDC, &M::RENDAC};
    const auto column = [](int i) { return i < 20 ? 3 + i : 4 + i; };
    for (int i = 0; i < 22; ++i)
        m.*fields[i] = column(i) + 0.25;
    const SampleRow r = SampleRow::fromRecord(m);
    for (int i = 0; i < 22; ++i)
        EXPECT_EQ(cell(r, column(i), CellRules::Live), QString::number(column(i) + 0.25)) << i;
    EXPECT_EQ(cell(r, 1, CellRules::Live) + " " + cell(r, 2, CellRules::Live) + " " +
                  cell(r, 23, CellRules::Live),
              "27/03/2011 23:59:59 PASS");
}

TEST(SampleTableGrid, CaptionsSamplesAndTheEmptyRow) {
    SampleTable t(kItalianPc, CellRules::Live);
    QStringList captions;
    for (int c = 0; c < kGridColumns; ++c)
        captions << QString("h%1").arg(c);
    t.setCaptions(captions);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.cellText(0, 25) + "|" + t.cellText(1, 0), "h25|");
    SampleRow r = plainRow();
    r.value(3) = 0.5;
    t.append(r);
    t.append(plainRow());
    EXPECT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.cellText(1, 3) + "|" + t.cellText(2, 0) + "|" + t.cellText(3, 3), "0,5|2|");
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
