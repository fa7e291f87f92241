#include "report_file.h"

#include "run_error.h"

#include <QSaveFile>

namespace vorna {

void write_report_file(const QString& path, const QByteArray& text) {
    QSaveFile f(path);
    const auto fail = [&] {
        const QString why = f.errorString();
        f.cancelWriting();
        throw RunError(err::kFileAccess, QStringLiteral("Path/File access error: ") + path +
                                             QStringLiteral(" (") + why + QLatin1Char(')'));
    };
    if (!f.open(QIODevice::WriteOnly)) fail();
    if (f.write(text) != text.size() || f.write("\r\n", 2) != 2) fail();
    if (!f.commit()) fail();
}

} // namespace vorna
