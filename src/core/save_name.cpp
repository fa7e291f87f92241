#include "save_name.h"

#include "app_context.h"

#include <QFileInfo>

namespace vorna {

QString askSaveName(AppContext& ctx, const QString& filter, const QString& proposed,
                    const QString& suffix) {
    for (;;) {
        const QString chosen = ctx.prompts.saveFileName(filter, proposed);
        if (chosen.isEmpty()) return {};
        QString name = chosen.trimmed();
        if (QFileInfo(name).fileName().trimmed().isEmpty()) continue;
        if (!suffix.isEmpty() && !name.endsWith(suffix, Qt::CaseInsensitive)) name += suffix;
        return name;
    }
}

} // namespace vorna
