#include "sample_grid_view.h"

#include "twips.h"

#include <QHeaderView>

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
    model_->table().onSelectRow = [this](int gridRow) {
        if (gridRow < 1) return;
        const QModelIndex index = model_->index(gridRow - 1, 0);
        setCurrentIndex(index);
        scrollTo(index);
    };
}

int SampleGridView::currentGridRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 0;
}

} // namespace vorna
