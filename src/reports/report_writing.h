#pragma once

#include "data_store.h"

#include <QString>

namespace vorna {

class AppContext;
struct TrapScope;

// The name a report dialog proposes: the catalogue's document name and the plant's name, with
// blanks as "_", cleaned by correggiStringa (which makes blanks of the "_" again).
QString proposedReportName(const QString& documentName, const QString& plantName);

// What "make report" wrote.
enum class ReportResult {
    Failed,    // a read failed, or a generator gave nothing (logged): nothing more written
    Cancelled, // the first dialog was cancelled: nothing written
    Sheet,     // the measurement sheet only
    SheetAndCertificate,
};

// Loads the measurement (by table and ID), its plant and the report parameters, then asks for
// and writes the measurement sheet and, for a passed measurement in Italian, the certificate.
// Each text is made before its dialog. Each dialog offers HTML and PDF; the name's suffix
// decides, a name without either takes the chosen filter's, and the certificate's dialog starts
// on the sheet's format. A file that cannot be written throws RunError and leaves an existing
// file as it was. A generator that gave nothing is the caller's failure:
// it is set up in s, for the caller's trap to log when its body returns false.
ReportResult writeReports(AppContext& ctx, MeasurementSource source, qint64 id, TrapScope& s);

} // namespace vorna
