#include "datalogger_file.h"

#include "app_context.h"
#include "latin1.h"
#include "run_error.h"
#include "text_grid.h"
#include "validation.h"

#include <QSaveFile>

namespace vorna {

bool save_datalogger_file(AppContext& ctx, qint64 plantId, TextGrid& grid,
                          const QString& afterPlant) {
    const QString text = write_info_impianto(ctx, plantId) + afterPlant +
                         make_file_logger(ctx, grid) + QStringLiteral("\r\n");
    QString name;
    while (name.trimmed().isEmpty()) {
        name = ctx.prompts.saveFileName(QStringLiteral("Text (*.txt)"),
                                        ctx.appPath + QStringLiteral("datalogger"));
        // Cancelled: the user chose not to save.
        if (name.isEmpty()) return false;
    }
    QSaveFile f(name);
    if (!f.open(QIODevice::WriteOnly) || f.write(toLatin1Safe(text)) < 0 || !f.commit())
        throw RunError(err::kFileAccess, QStringLiteral("cannot write ") + name);
    return true;
}

} // namespace vorna
