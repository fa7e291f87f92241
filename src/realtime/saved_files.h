#pragma once

#include <QByteArray>
#include <QString>

namespace vorna {

class AppContext;
class TextGrid;

// The datalogger file of a window: what follows the plant block, and the save dialog's filter.
struct DataloggerKind {
    const char* afterPlant;
    const char* filter;
};
inline constexpr DataloggerKind kLiveDatalogger{"\r\n\r\n\r\n", "Text (*.txt)"};
inline constexpr DataloggerKind kStoredDatalogger{"\r\r\r", "(*.txt)"};

// bttSalva_Click of the real-time window and of the browser: a datalogger file in Latin-1 (the
// plant block of write_info_impianto, kind's separator, the grid's text of make_file_logger and
// a closing CR LF), written whole under the name asked for (appPath + "datalogger" proposed).
// False when the user cancelled: nothing is written.
bool saveDataloggerFile(AppContext& ctx, qint64 plantId, TextGrid& grid,
                        const DataloggerKind& kind);

} // namespace vorna
