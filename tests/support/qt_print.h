#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Readable Qt values in GoogleTest failure messages; lists print as containers of them.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << bytes.toHex().toStdString();
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    PrintTo(s, &os);
    return os;
}
