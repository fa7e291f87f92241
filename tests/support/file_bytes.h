#pragma once

#include <QFile>
#include <QString>

namespace vorna::test {

// Every byte of a file; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes data at offset into the existing file itself (the same file, not a new one in its
// place), as a program that edits a file where it lies does.
inline bool writeInPlace(const QString& path, qint64 offset, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.seek(offset) && f.write(data) == data.size();
}

} // namespace vorna::test
