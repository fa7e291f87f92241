#pragma once

#include <QByteArray>
#include <QString>

namespace vorna {

class AppContext;
class TextGrid;

// The save dialog, shown again while the name is blank; empty when the user cancels, so that
// a cancel writes nothing.
QString askSaveName(AppContext& ctx, const QString& filter, const QString& proposed);

// The browser's datalogger file in Latin-1: the plant block, three bare CRs, the grid's text
// and a closing CR LF.
QByteArray storedDataFile(AppContext& ctx, qint64 plantId, TextGrid& grid);

} // namespace vorna
