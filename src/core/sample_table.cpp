#include "sample_table.h"

#include "app_context.h"
#include "number_format.h"
#include "regional_date.h"

#include <stdexcept>

namespace vorna {

namespace {

using M = MeasurementRecord;

// Grid columns 3 to 25 in order; the result column (23) has no number.
constexpr std::array<double M::*, kGridColumns - kGridFirstValueColumn> kFields = {
    &M::rad,  &M::TEMPAMB, &M::TEMPPAN, &M::COEFFTEMP, &M::POTRAD, &M::VDC1,   &M::IDC1,  &M::VDC2,
    &M::IDC2, &M::VDC3,    &M::IDC3,    &M::POTDC,     &M::VAC1,   &M::IAC1,   &M::VAC2,  &M::IAC2,
    &M::VAC3, &M::IAC3,    &M::POTAC,   &M::REAL2,     nullptr,    &M::RENDDC, &M::RENDAC};

constexpr int kRadColumn = 3;

// Columns of DC line 2 and 3 and AC phase 2 and 3: a voltage column, its current beside it.
bool inSecondaryChannel(int column) {
    return (column >= 10 && column <= 13) || (column >= 17 && column <= 20);
}

// A stored line or phase marked idle by its voltage / current pair.
bool idlePair(const SampleRow& row, int column) {
    const int first = column <= 13 ? 10 : 17;
    const int voltage = first + (column - first) / 2 * 2;
    const double idleVoltage = column <= 13 ? 8000.0 : 800.0;
    return row.value(voltage) == idleVoltage && row.value(voltage + 1) == 800.0;
}

} // namespace

bool sampleCellHidden(const SampleRow& row, int column, CellRules rules) {
    const double v = row.value(column);
    if (v == kNoValue) return true;
    if (inSecondaryChannel(column) && v == kNoChannel) return true;
    if (rules == CellRules::Live) return false;
    if (column == kRadColumn) return v > 2000.0;
    return inSecondaryChannel(column) && idlePair(row, column);
}

double MeasurementRecord::*gridField(int column) {
    if (column < kGridFirstValueColumn || column >= kGridColumns || column == kGridResultColumn)
        return nullptr;
    return kFields[size_t(column - kGridFirstValueColumn)];
}

QStringList gridCaptions(const AppContext& ctx) {
    QStringList out;
    out.reserve(kGridColumns);
    for (const int entry : kGridCaptionEntries)
        out << ctx.msg(entry);
    return out;
}

SampleRow SampleRow::fromRecord(const MeasurementRecord& m) {
    SampleRow row;
    row.data = m.data;
    row.ora = m.ora;
    row.ESITOAC = m.ESITOAC;
    for (int c = kGridFirstValueColumn; c < kGridColumns; ++c)
        if (const auto field = gridField(c)) row.value(c) = m.*field;
    return row;
}

CellFormat::CellFormat(const QLocale& l, CellRules r)
    : locale(l), dateSeparator(vorna::dateSeparator(l)), rules(r) {}

QString sampleCellText(const SampleRow& row, int number, int column, const CellFormat& format) {
    switch (column) {
    case 0:
        return QString::number(number);
    case 1:
        return dayMonthYearText(format.dateSeparator, row.data);
    case 2:
        return clockText(row.ora);
    case kGridResultColumn:
        return row.ESITOAC ? QStringLiteral("PASS") : QStringLiteral("FAULT");
    default:
        if (column < 0 || column >= kGridColumns) throw std::out_of_range("grid column");
        if (sampleCellHidden(row, column, format.rules)) return QStringLiteral("---");
        return general_number(format.locale, row.value(column));
    }
}

SampleTable::SampleTable(const QLocale& locale, CellRules rules) : format_(locale, rules) {}

void SampleTable::setCaptions(const QStringList& captions) {
    captions_ = captions;
}

QString SampleTable::cellText(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kGridColumns)
        throw std::out_of_range("grid cell");
    if (row == 0) return column < captions_.size() ? captions_[column] : QString();
    if (row == rowCount() - 1) return {};
    return sampleCellText(rows_[size_t(row - 1)], row, column, format_);
}

void SampleTable::selectRow(int row) {
    if (onSelectRow) onSelectRow(row);
}

} // namespace vorna
