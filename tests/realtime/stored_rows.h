#pragma once

#include "database.h"
#include "records.h"

#include <QStringList>
#include <QVariantMap>

namespace vorna::test {

// A plant row; returns its ID.
inline qint64 insertPlant(Database& db, const QString& name, double power = 4.5) {
    db.prepare("INSERT INTO impianti (nome, indirizzo, NUMCIV, cap, comune, CODFISC, POT, BOOL1, "
               "NOCT, REAL1) VALUES (?, 'Via Roma', '3', '10121', 'Torino', 'RSSMRA', ?, 0, 45, "
               "-0.43)")
        .bindAll({name, power})
        .run();
    return db.lastInsertId();
}

// The insert statement of a stored sample: plant, day "yyyy-MM-dd", time "HH:mm:ss", the
// measurement numbers in kMeasurementNumbers order, ESITOAC, TEXT1, TEXT2.
inline QString storedRowInsert() {
    QStringList names;
    for (const MeasurementColumn& c : kMeasurementNumbers)
        names << c.name;
    return QString("INSERT INTO realtime (IDIMP, NUMERO, data, ora, %1, ESITOAC, TEXT1, TEXT2) "
                   "VALUES (?, 1, ?, ?%2, ?, 'FV 2.1.5', 'ZMB 4.5')")
        .arg(names.join(", "), QString(", ?").repeated(names.size()));
}

// The values of a stored sample: every number 1.5 and a pass unless `changes` says otherwise
// (an invalid QVariant stores NULL).
inline QVariantList storedRowValues(qint64 plant, const QString& day, const QString& time,
                                    const QVariantMap& changes = {}) {
    QVariantList values{plant, day, time};
    for (const MeasurementColumn& c : kMeasurementNumbers)
        values << changes.value(c.name, 1.5);
    values << changes.value("ESITOAC", 1);
    return values;
}

inline void insertStored(Database& db, qint64 plant, const QString& day, const QString& time,
                         const QVariantMap& changes = {}) {
    db.prepare(storedRowInsert()).bindAll(storedRowValues(plant, day, time, changes)).run();
}

} // namespace vorna::test
