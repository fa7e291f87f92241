#include "save_name.h"

#include "app_context.h"

#include <QFileInfo>
#include <QStringList>

namespace vorna {

namespace {

// The dialog until the name is not blank; empty when cancelled.
QString askUntilNamed(AppContext& ctx, const QString& filter, const QString& proposed,
                      QString* selectedFilter) {
    for (;;) {
        const QString chosen = ctx.prompts.saveFileName(filter, proposed, selectedFilter);
        if (chosen.isEmpty()) return {};
        const QString name = chosen.trimmed();
        if (!QFileInfo(name).fileName().trimmed().isEmpty()) return name;
    }
}

} // namespace

QString askSaveName(AppContext& ctx, const QString& filter, const QString& proposed,
                    const QString& suffix) {
    QString name = askUntilNamed(ctx, filter, proposed, nullptr);
    if (!name.isEmpty() && !suffix.isEmpty() && !name.endsWith(suffix, Qt::CaseInsensitive))
        name += suffix;
    return name;
}

SaveChoice askSaveNameAndFormat(AppContext& ctx, const std::vector<SaveFormat>& formats,
                                const QString& proposed, size_t start) {
    QStringList filters;
    for (const SaveFormat& f : formats)
        filters << f.filter;
    QString selected = formats.at(start).filter;
    SaveChoice choice{askUntilNamed(ctx, filters.join(QStringLiteral(";;")), proposed, &selected),
                      start};
    if (choice.name.isEmpty()) return choice;
    for (size_t i = 0; i < formats.size(); ++i) {
        if (formats[i].suffix.isEmpty()) continue;
        if (choice.name.endsWith(formats[i].suffix, Qt::CaseInsensitive)) {
            choice.format = i;
            return choice;
        }
    }
    for (size_t i = 0; i < formats.size(); ++i)
        if (formats[i].filter == selected) choice.format = i;
    choice.name += formats[choice.format].suffix;
    return choice;
}

} // namespace vorna
