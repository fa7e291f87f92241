#include "saved_files.h"

#include "app_context.h"
#include "latin1.h"
#include "text_grid.h"
#include "validation.h"

namespace vorna {

QString askSaveName(AppContext& ctx, const QString& filter, const QString& proposed) {
    for (;;) {
        const QString name = ctx.prompts.saveFileName(filter, proposed);
        if (name.isEmpty()) return {};
        if (!name.trimmed().isEmpty()) return name.trimmed();
    }
}

QByteArray dataloggerFile(AppContext& ctx, qint64 plantId, TextGrid& grid,
                          const QString& afterPlant) {
    const QString text = write_info_impianto(ctx, plantId) + afterPlant +
                         make_file_logger(ctx, grid) + QStringLiteral("\r\n");
    return toLatin1Safe(text);
}

} // namespace vorna
