#include "test_rows.h"

#include "records.h"

namespace vorna::test {

namespace {
const char* const kTail[] = {"ESITODC", "ESITOAC", "TEXT1", "TEXT2"};
}

qint64 insertPlant(Database& db, const TestPlant& p) {
    db.prepare(QStringLiteral("INSERT INTO impianti (tipo, nome, indirizzo, NUMCIV, cap, comune, "
                              "CODFISC, POT, BOOL1, NOCT, REAL1) VALUES (1,?,?,?,?,?,?,?,?,?,?)"))
        .bindAll({p.nome, p.indirizzo, p.numciv, p.cap, p.comune, p.codfisc, p.pot, p.above, p.noct,
                  p.gamma})
        .run();
    return db.lastInsertId();
}

QString storedRowInsert(const QString& table) {
    QStringList names;
    for (const MeasurementColumn& c : kMeasurementNumbers)
        names << QString::fromLatin1(c.name);
    for (const char* c : kTail)
        names << QString::fromLatin1(c);
    const bool numbered = table == QLatin1String("realtime");
    return QStringLiteral("INSERT INTO %1 (IDIMP, %2data, ora, %3) VALUES (?, %4?, ?%5)")
        .arg(table, numbered ? "NUMERO, " : "", names.join(", "), numbered ? "1, " : "",
             QStringLiteral(", ?").repeated(names.size()));
}

QVariantList storedRowValues(qint64 plant, const QString& day, const QString& time,
                             const QVariantMap& changes) {
    QVariantList values{plant, day, time};
    for (const MeasurementColumn& c : kMeasurementNumbers)
        values << changes.value(QString::fromLatin1(c.name), 1.5);
    const QVariant tail[] = {1, 1, QStringLiteral("FV 2.1.5"), QStringLiteral("ZMB 4.5")};
    for (int i = 0; i < 4; ++i)
        values << changes.value(QString::fromLatin1(kTail[i]), tail[i]);
    return values;
}

void insertMeasurements(Database& db, const QString& table, qint64 plant, const QDateTime& newest,
                        int count, const QVariantMap& changes) {
    Database::Transaction tx(db);
    Statement st = db.prepare(storedRowInsert(table));
    for (int i = 0; i < count; ++i) {
        const QDateTime at = newest.addSecs(-60 * i);
        st.bindAll(storedRowValues(plant, at.date().toString(Qt::ISODate),
                                   at.time().toString(QStringLiteral("HH:mm:ss")), changes))
            .run();
        st.reset();
    }
    tx.commit();
}

QStringList rowsAsText(Database& db, const QString& select, const QVariantList& params) {
    Statement st = db.prepare(select);
    st.bindAll(params);
    QStringList out;
    while (st.step()) {
        QStringList cells;
        for (int c = 0; c < st.columnCount(); ++c)
            cells << st.column(c).toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

} // namespace vorna::test
