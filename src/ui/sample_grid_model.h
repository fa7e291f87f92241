#pragma once

// The Qt model of the sample grid (see SampleTable in src/core): model row r is grid row r + 1,
// the captions are the horizontal header, the last model row is the empty row for the next
// sample. Cells are formatted in data(), so only what the view paints is ever formatted.
//
//   appendSample: one sample into the empty row, a new empty row after it (one row inserted).
//   setSamples:   a whole query's rows with one model reset.
//   clearSamples: only the empty row left.
//   takeSamples:  the same, handing the rows out (their storage serves the next setSamples).
// table() is the same grid as a TextGrid for files and charts.

#include "sample_table.h"

#include <QAbstractTableModel>

namespace vorna {

class SampleGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    SampleGridModel(const QLocale& locale, CellRules rules, QObject* parent = nullptr);

    SampleTable& table() { return table_; }
    const SampleTable& table() const { return table_; }

    void setCaptions(const QStringList& captions);
    void appendSample(const SampleRow& row);
    void setSamples(std::vector<SampleRow> rows);
    void clearSamples();
    std::vector<SampleRow> takeSamples();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    SampleTable table_;
};

} // namespace vorna
