#include "text_grid.h"

#include "error_trap.h"

namespace vorna {

QString make_file_logger(AppContext& ctx, TextGrid& grid) {
    return guard<QString>(ctx, QStringLiteral("make_file_logger"), QString(), [&] {
        QString out;
        const int rows = grid.rowCount();
        out.reserve(qsizetype(rows) * 25 * 8); // a datalogger grid holds tens of thousands of rows
        // The last row is the grid's empty entry row and is never exported.
        for (int r = 0; r + 1 < rows; ++r) {
            for (int c = 1; c <= 25; ++c) {
                out += grid.cellText(r, c);
                out += QLatin1Char('\t');
            }
            out += QLatin1String("\r\n");
        }
        if (rows > 0) grid.selectRow(rows - 1);
        return out;
    });
}

} // namespace vorna
