#include "measurement_list.h"

#include "app_context.h"
#include "record_set.h"
#include "report_values.h"
#include "run_error.h"

namespace vorna {

void MeasurementEntries::clear() {
    measurementSource.fill(-1);
    measurementId.fill(-1);
    texts.clear();
}

QString measurementEntryText(const QDate& date, const QTime& time, bool passed) {
    return reportDateText(date) + QStringLiteral("   ") + reportTimeText(time) +
           (passed ? QStringLiteral("   (PASS)") : QStringLiteral("   (FAULT)"));
}

void fillMeasurementEntries(AppContext& ctx, qint64 plantId, MeasurementEntries& entries) {
    const struct {
        const char* table;
        int source;
    } sources[] = {{"acquisizioni", 1}, {"realtime", 2}};
    for (const auto& from : sources) {
        // A plant may hold far more samples than the list takes: read one row past what is
        // left, which is enough to tell that the list overflows.
        const qsizetype left = MeasurementEntries::kCapacity - entries.texts.size();
        RecordSet rs = RecordSet::select(
            ctx.db,
            QStringLiteral("SELECT ID, DATA, ORA, ESITODC, ESITOAC FROM ") +
                QLatin1String(from.table) +
                QStringLiteral(" WHERE IDIMP=? ORDER BY DATA DESC, ORA DESC LIMIT ?"),
            {plantId, qint64(left + 1)});
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            const qsizetype k = entries.texts.size();
            if (k >= MeasurementEntries::kCapacity)
                throw RunError(err::kSubscriptOutOfRange,
                               QStringLiteral("Subscript out of range: more than ") +
                                   QString::number(MeasurementEntries::kCapacity) +
                                   QStringLiteral(" measurements"));
            entries.measurementSource[size_t(k)] = from.source;
            entries.measurementId[size_t(k)] = rs.integer(QStringLiteral("ID"));
            // A verdict never stored counts as a fault.
            entries.texts << measurementEntryText(rs.date(QStringLiteral("DATA")),
                                                  rs.time(QStringLiteral("ORA")),
                                                  rs.boolean(QStringLiteral("ESITOAC")));
        }
    }
}

} // namespace vorna
