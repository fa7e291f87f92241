#pragma once

#include <QByteArray>
#include <QString>

namespace vorna {

// The single-byte code page of files, checksums and encoding: ISO 8859-1, with "?" standing
// for any character outside it.
inline int latin1Code(QChar c) {
    return c.unicode() <= 0xff ? c.unicode() : '?';
}

inline QByteArray toLatin1Safe(const QString& text) {
    QByteArray out;
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = char(latin1Code(text[i]));
    return out;
}

} // namespace vorna
