#include "mdi_title.h"

#include "app_context.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace vorna {

QString mdi_title(const AppContext& ctx, const QDateTime& exeModified) {
    return QStringLiteral("VORNA REPORT (") + ctx.msg(47) + QStringLiteral(": ") + ctx.swVersion +
           QStringLiteral(", ") + ctx.locale.toString(exeModified, QLocale::ShortFormat) +
           QStringLiteral(" - ") + ctx.msg(186) + QStringLiteral(": ") + ctx.fwCompatText +
           QStringLiteral(")");
}

QDateTime executable_modified() {
    return QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
}

} // namespace vorna
