#include "saved_files.h"

#include "app_context.h"
#include "latin1.h"
#include "save_name.h"
#include "text_grid.h"
#include "validation.h"
#include "whole_file.h"

namespace vorna {

bool saveDataloggerFile(AppContext& ctx, qint64 plantId, TextGrid& grid,
                        const DataloggerKind& kind) {
    const QString text = write_info_impianto(ctx, plantId) + QString::fromLatin1(kind.afterPlant) +
                         make_file_logger(ctx, grid) + QStringLiteral("\r\n");
    const QString name = askSaveName(ctx, QString::fromLatin1(kind.filter),
                                     ctx.appPath + QStringLiteral("datalogger"));
    if (name.isEmpty()) return false;
    writeWholeFile(name, toLatin1Safe(text));
    return true;
}

} // namespace vorna
