#pragma once

#include <QByteArray>
#include <QString>

namespace vorna {

// Writes a report's bytes and one line end to the file, replacing it only once the whole new
// text is on disk: an interrupted write leaves the previous file as it was. Throws RunError.
void write_report_file(const QString& path, const QByteArray& text);

} // namespace vorna
