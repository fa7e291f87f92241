#include "sample_grid_model.h"

namespace vorna {

SampleGridModel::SampleGridModel(const QLocale& locale, CellRules rules, QObject* parent)
    : QAbstractTableModel(parent), table_(locale, rules) {}

void SampleGridModel::setCaptions(const QStringList& captions) {
    table_.setCaptions(captions);
    emit headerDataChanged(Qt::Horizontal, 0, kGridColumns - 1);
}

void SampleGridModel::appendSample(const SampleRow& row) {
    // The empty row keeps its place at the end: the new sample is a row inserted before it.
    const int at = table_.sampleCount();
    beginInsertRows(QModelIndex(), at, at);
    table_.append(row);
    endInsertRows();
}

void SampleGridModel::setSamples(std::vector<SampleRow> rows) {
    beginResetModel();
    table_.setSamples(std::move(rows));
    endResetModel();
}

void SampleGridModel::clearSamples() {
    beginResetModel();
    table_.clear();
    endResetModel();
}

std::vector<SampleRow> SampleGridModel::takeSamples() {
    beginResetModel();
    std::vector<SampleRow> rows = table_.takeSamples();
    endResetModel();
    return rows;
}

int SampleGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount() - 1;
}

int SampleGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant SampleGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return table_.cellText(index.row() + 1, index.column());
}

QVariant SampleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section < 0 || section >= kGridColumns) return {};
    return table_.cellText(0, section);
}

} // namespace vorna
