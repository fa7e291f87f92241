#pragma once

#include <QByteArray>
#include <QString>

namespace vorna {

class AppContext;
class TextGrid;

// The save dialog, shown again while the name is blank; empty when the user cancels, so that
// a cancel writes nothing.
QString askSaveName(AppContext& ctx, const QString& filter, const QString& proposed);

// A datalogger file in Latin-1: the plant block (write_info_impianto), afterPlant (three CR LF
// in the real-time window, three bare CRs in the browser), the grid's text (make_file_logger)
// and a closing CR LF.
QByteArray dataloggerFile(AppContext& ctx, qint64 plantId, TextGrid& grid,
                          const QString& afterPlant);

} // namespace vorna
