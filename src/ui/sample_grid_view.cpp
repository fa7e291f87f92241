#include "sample_grid_view.h"

#include "twips.h"

#include <QHeaderView>
#include <algorithm>

namespace vorna {

SampleGridView::SampleGridView(const QLocale& locale, CellRules rules, QWidget* parent)
    : QTableView(parent), model_(new SampleGridModel(locale, rules, this)) {
    setModel(model_);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(twips(kGridColumnTwips));
    horizontalHeader()->setHighlightSections(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    connect(model_, &QAbstractItemModel::modelReset, this, &SampleGridView::fitColumns);
    connect(model_, &QAbstractItemModel::headerDataChanged, this, &SampleGridView::fitColumns);
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first) {
        if (first == 0) fitColumns();
    });
    model_->table().onSelectRow = [this](int gridRow) {
        if (gridRow < 1) return;
        const QModelIndex index = model_->index(gridRow - 1, 0);
        setCurrentIndex(index);
        scrollTo(index);
    };
}

void SampleGridView::fitColumns() {
    const bool sample = model_->table().sampleCount() > 0;
    for (int c = 0; c < kGridColumns; ++c) {
        int width = std::max(twips(kGridColumnTwips), horizontalHeader()->sectionSizeHint(c));
        if (sample)
            width = std::max(width,
                             sizeHintForIndex(model_->index(0, c)).width() + (showGrid() ? 1 : 0));
        horizontalHeader()->resizeSection(c, width);
    }
}

int SampleGridView::currentGridRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 0;
}

} // namespace vorna
