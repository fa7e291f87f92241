#include "sample_store.h"

#include "app_context.h"

namespace vorna {

namespace {

const QString& insertSql() {
    static const QString sql = [] {
        QStringList columns{QStringLiteral("IDIMP"), QStringLiteral("NUMERO"),
                            QStringLiteral("data"), QStringLiteral("ora")};
        for (const MeasurementColumn& c : kMeasurementNumbers)
            columns << QLatin1String(c.name);
        columns << QStringLiteral("ESITOAC") << QStringLiteral("TEXT1") << QStringLiteral("TEXT2");
        return QStringLiteral("INSERT INTO realtime (") + columns.join(QLatin1Char(',')) +
               QStringLiteral(") VALUES (?") + QStringLiteral(",?").repeated(columns.size() - 1) +
               QLatin1Char(')');
    }();
    return sql;
}

} // namespace

void store_realtime_sample(AppContext& ctx, qint64 plantId, int numero,
                           const MeasurementRecord& m) {
    Statement& st = ctx.db.cached(insertSql());
    QVariantList values{plantId, numero, m.data, m.ora};
    for (const MeasurementColumn& c : kMeasurementNumbers)
        values << m.*c.field;
    values << m.ESITOAC << m.TEXT1 << m.TEXT2;
    st.bindAll(values).run();
}

} // namespace vorna
