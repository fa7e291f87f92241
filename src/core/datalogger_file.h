#pragma once

#include <QString>

namespace vorna {

class AppContext;
class TextGrid;

// The datalogger text file of a sample grid: the plant's description (write_info_impianto),
// afterPlant, the grid's rows (make_file_logger), one CR LF; ISO 8859-1. The save dialog
// proposes appPath + "datalogger" and asks again while the name is blank; a cancelled dialog
// writes nothing and returns false. Throws RunError when the file cannot be written.
bool save_datalogger_file(AppContext& ctx, qint64 plantId, TextGrid& grid,
                          const QString& afterPlant);

} // namespace vorna
