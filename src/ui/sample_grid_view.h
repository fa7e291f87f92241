#pragma once

#include "sample_grid_model.h"

#include <QTableView>

namespace vorna {

// The grid grMis of the real-time window and the stored-data browser: a table view over its
// own SampleGridModel, 26 columns of at least 1100 twips, fixed row height (so 100,000 rows lay
// out at once), the row number in column 0 instead of a vertical header. A column is widened
// to its caption and to the text of the first sample row, so that a date fits; no other row is
// measured. TextGrid::selectRow on the model's table makes that grid row the view's current
// row.
class SampleGridView : public QTableView {
    Q_OBJECT
public:
    SampleGridView(const QLocale& locale, CellRules rules, QWidget* parent = nullptr);

    SampleGridModel& grid() { return *model_; }
    // Grid row (1 = first sample, rowCount - 1 = the empty row) the view is on; 0 when none.
    int currentGridRow() const;

private:
    void fitColumns();

    SampleGridModel* model_;
};

} // namespace vorna
