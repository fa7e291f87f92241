#pragma once

#include <QByteArray>
#include <QString>

namespace vorna {

// Writes the bytes to the file, replacing it only once all of them are on disk: an interrupted
// write leaves the previous file as it was. Throws RunError naming the file.
void writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace vorna
