#pragma once

#include <QString>

namespace vorna {

// A grid of texts as the export routines see it; the windows adapt their table widgets.
class TextGrid {
public:
    virtual ~TextGrid() = default;
    virtual int rowCount() const = 0;
    virtual QString cellText(int row, int column) const = 0;
    virtual void selectRow(int row) = 0;
};

class AppContext;

// The grid's rows but the last, columns 1 to 25, tab-separated, CR LF after each row.
QString make_file_logger(AppContext& ctx, TextGrid& grid);

} // namespace vorna
