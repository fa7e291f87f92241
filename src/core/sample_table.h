#pragma once

// The 26-column sample grid shared by the real-time window and the stored-data browser.
//
// SampleRow is one sample in compact form: date, time, verdict and the 22 numbers in grid
// column order. SampleTable is the whole grid as a TextGrid: row 0 the captions, rows 1..n the
// samples, row n + 1 the empty row that the next sample goes into. A cell's text is made only
// when someone asks for it (screen, file, chart), so 100,000 rows cost their records and no
// strings.
//
// Filling: the live window appends one sample at a time (append: the sample takes the empty
// row and a new empty row follows); the browser hands over a whole query with setSamples.
// SampleGridModel (src/ui) owns a table and wraps these calls in the model's signals: once a
// view is attached, change the table through the model.

#include "records.h"
#include "text_grid.h"

#include <QDate>
#include <QLocale>
#include <QStringList>
#include <QTime>
#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace vorna {

class AppContext;

inline constexpr int kGridColumns = 26;
inline constexpr int kGridColumnTwips = 1100;
inline constexpr int kGridFirstValueColumn = 3;
inline constexpr int kGridResultColumn = 23;
// Catalogue entries of the header captions, column by column.
inline constexpr std::array<int, kGridColumns> kGridCaptionEntries = {
    52, 53, 54, 55, 56, 57, 58, 59, 60, 61,  62,  63,  64,
    65, 66, 67, 68, 69, 70, 71, 72, 73, 207, 221, 219, 220};

// The record field a value column shows (columns 3 to 25 but the result column 23).
double MeasurementRecord::*gridField(int column);
// The header captions in the current language.
QStringList gridCaptions(const AppContext& ctx);

struct SampleRow {
    QDate data;
    QTime ora;
    bool ESITOAC = false;
    // Indexed by grid column - 3; the slot of the result column is unused.
    std::array<double, kGridColumns - kGridFirstValueColumn> values{};

    double value(int column) const { return values[size_t(column - kGridFirstValueColumn)]; }
    double& value(int column) { return values[size_t(column - kGridFirstValueColumn)]; }
    static SampleRow fromRecord(const MeasurementRecord& m);
};

// Which values a cell hides behind "---". Live: -2000 anywhere, -10000 in the columns of DC
// line 2 and 3 and AC phase 2 and 3. Stored adds what only stored rows carry: an irradiance
// above 2000 and the idle pairs 8000 V / 800 A (DC line) and 800 V / 800 A (AC phase).
enum class CellRules { Live, Stored };

struct CellFormat {
    QLocale locale;
    QString dateSeparator;
    CellRules rules = CellRules::Live;
    CellFormat(const QLocale& l, CellRules r);
};

// The text of one cell of a sample row; number is the row's place in the grid (column 0).
QString sampleCellText(const SampleRow& row, int number, int column, const CellFormat& format);

class SampleTable : public TextGrid {
public:
    SampleTable(const QLocale& locale, CellRules rules);

    void setCaptions(const QStringList& captions);
    const QStringList& captions() const { return captions_; }
    const CellFormat& format() const { return format_; }

    int sampleCount() const { return int(rows_.size()); }
    const SampleRow& sample(int index) const { return rows_.at(size_t(index)); } // 0-based
    void append(const SampleRow& row) { rows_.push_back(row); }
    void setSamples(std::vector<SampleRow> rows) { rows_ = std::move(rows); }
    // The samples out of the table, which keeps only its empty row; their storage can hold
    // the next query's rows.
    std::vector<SampleRow> takeSamples() { return std::exchange(rows_, {}); }
    void clear() { rows_.clear(); }

    // TextGrid: captions, samples, the trailing empty row. A row or column outside the grid
    // throws std::out_of_range.
    int rowCount() const override { return sampleCount() + 2; }
    QString cellText(int row, int column) const override;
    void selectRow(int row) override;
    // What selectRow does on screen; the view sets it.
    std::function<void(int)> onSelectRow;

private:
    CellFormat format_;
    QStringList captions_;
    std::vector<SampleRow> rows_;
};

} // namespace vorna
