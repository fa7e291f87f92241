#include "report_download.h"

#include "app_context.h"
#include "data_store.h"
#include "download_progress.h"
#include "downloads.h"
#include "link.h"
#include "settings_row.h"

#include <QScopeGuard>

namespace vorna {

namespace {

QString orBlank(const QString& text) {
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

} // namespace

bool ask_logo(AppContext& ctx, const QString& callerWindow, QString& logo) {
    if (!trasmette(ctx, callerWindow, QStringLiteral("LOGO?"))) return false;
    logo = ctx.link.replyText.trimmed();
    return true;
}

void store_report_signature(AppContext& ctx, const QString& logo) {
    SettingsRow(ctx).setModel(orBlank(kReportModel)).setLogo(orBlank(logo)).save();
}

void download_plants_and_measurements(AppContext& ctx, const QString& callerWindow,
                                      DownloadProgress& progress) {
    progress.start();
    const auto done = qScopeGuard([&] { progress.finish(); });
    scarica_impianti(ctx, callerWindow, &progress);
    scarica_acquisizioni_impianto(ctx, callerWindow, &progress);
}

} // namespace vorna
