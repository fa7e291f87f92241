#include "whole_file.h"

#include "run_error.h"

#include <QSaveFile>

namespace vorna {

void writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    const auto fail = [&] {
        const QString why = f.errorString();
        f.cancelWriting();
        throw RunError(err::kFileAccess, QStringLiteral("Path/File access error: ") + path +
                                             QStringLiteral(" (") + why + QLatin1Char(')'));
    };
    if (!f.open(QIODevice::WriteOnly)) fail();
    if (f.write(bytes) != bytes.size()) fail();
    if (!f.commit()) fail();
}

} // namespace vorna
