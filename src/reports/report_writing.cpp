#include "report_writing.h"

#include "app_context.h"
#include "dichiarazione.h"
#include "error_trap.h"
#include "record_set.h"
#include "report_file.h"
#include "report_pdf.h"
#include "run_error.h"
#include "save_name.h"
#include "scheda_misurazioni.h"
#include "validation.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace vorna {

namespace {

constexpr int kItalian = 4;

// The formats of the reports' dialogs, the documents' own HTML first.
enum : size_t { kHtml, kPdf };
const std::vector<SaveFormat> kReportFormats{
    {QStringLiteral("(*.htm)"), QStringLiteral(".htm")},
    {QStringLiteral("PDF (*.pdf)"), QStringLiteral(".pdf")},
};

QString startFolder(const AppContext& ctx) {
    if (!ctx.lastReportFolder.isEmpty()) return ctx.lastReportFolder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// The dialog and the file of one document. `format` is the one the dialog starts on, then the
// one written. False when the dialog was cancelled; throws when the file cannot be written.
bool writeDocument(AppContext& ctx, const QByteArray& text, const QString& proposed,
                   const QString& title, size_t& format) {
    // A name of blanks asks again.
    const SaveChoice chosen = askSaveNameAndFormat(
        ctx, kReportFormats, startFolder(ctx) + QLatin1Char('/') + proposed, format);
    if (chosen.name.isEmpty()) return false;
    format = chosen.format;
    if (format == kPdf) {
        write_report_pdf(
            chosen.name, text,
            {title, ctx.reportLogo.trimmed(), QStringLiteral("VORNA REPORT ") + ctx.swVersion});
    } else {
        write_report_file(chosen.name, text);
    }
    ctx.lastReportFolder = QFileInfo(chosen.name).absolutePath();
    return true;
}

} // namespace

QString proposedReportName(const QString& documentName, const QString& plantName) {
    QString name = documentName + QLatin1Char(' ') + plantName;
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return correggiStringa(name);
}

ReportResult writeReports(AppContext& ctx, MeasurementSource source, qint64 id, TrapScope& s) {
    const bool downloaded = source == MeasurementSource::Downloaded;
    const RecordSet row = RecordSet::select(
        ctx.db,
        QStringLiteral("SELECT IDIMP FROM ") +
            (downloaded ? QStringLiteral("acquisizioni") : QStringLiteral("realtime")) +
            QStringLiteral(" WHERE ID=?"),
        {id});
    if (row.eof())
        throw RunError(err::kGeneric, QStringLiteral("no measurement ") + QString::number(id));
    if (!leggi_impianto_per_ID(ctx, row.integer(QStringLiteral("IDIMP"))))
        return ReportResult::Failed;
    if (!leggi_parametri_report(ctx)) return ReportResult::Failed;
    if (!leggi_acquisizione_per_ID(ctx, id, source)) return ReportResult::Failed;

    // Each text is made before its dialog: a generator that fails (it has logged itself) then
    // asks for nothing and writes nothing over a good file; this routine says what it skipped.
    const auto empty = [&](const QString& what) {
        s.message = QStringLiteral("empty ") + what;
        s.falseIsFailure = true;
        return ReportResult::Failed;
    };
    const QByteArray sheet = make_scheda_misurazioni(ctx);
    if (sheet.isEmpty()) return empty(QStringLiteral("measurement sheet"));
    size_t format = kHtml;
    if (!writeDocument(ctx, sheet, proposedReportName(ctx.msg(36), ctx.plant.nome), ctx.msg(0),
                       format))
        return ReportResult::Cancelled;
    if (!ctx.measurement.ESITOAC || ctx.languageIndex != kItalian) return ReportResult::Sheet;

    const QByteArray certificate = make_dichiarazione_ver2(ctx);
    if (certificate.isEmpty()) return empty(QStringLiteral("certificate"));
    if (!writeDocument(ctx, certificate,
                       proposedReportName(ctx.messaggi.text(kItalian, 37), ctx.plant.nome),
                       QStringLiteral("CERTIFICATO DI COLLAUDO"), format))
        return ReportResult::Sheet;
    return ReportResult::SheetAndCertificate;
}

} // namespace vorna
