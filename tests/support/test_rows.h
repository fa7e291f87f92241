#pragma once

#include "database.h"

#include <QDateTime>
#include <QStringList>
#include <QVariantMap>

namespace vorna::test {

// A plant row of impianti, as the register would store it.
struct TestPlant {
    QString nome = QStringLiteral("Rossi Mario"), indirizzo = QStringLiteral("Via Roma"),
            numciv = QStringLiteral("12"), cap = QStringLiteral("20100"),
            comune = QStringLiteral("Milano"), codfisc = QStringLiteral("RSSMRA70A01F205X");
    double pot = 3.5;
    bool above = false; // BOOL1, an inverter above 20 kW
    double noct = 45, gamma = 0.45;
};

qint64 insertPlant(Database& db, const TestPlant& plant = {});
inline qint64 insertPlant(Database& db, const QString& nome, double pot = 3.5) {
    return insertPlant(db, {.nome = nome, .pot = pot});
}

// The insert statement of a measurement row of `table` (acquisizioni or realtime) and its
// values: plant, day "yyyy-MM-dd", time "HH:mm:ss", every number 1.5, passed (ESITODC and
// ESITOAC 1), TEXT1 "FV 2.1.5" and TEXT2 "ZMB 4.5", unless `changes` says otherwise (an
// invalid QVariant stores NULL).
QString storedRowInsert(const QString& table = QStringLiteral("realtime"));
QVariantList storedRowValues(qint64 plant, const QString& day, const QString& time,
                             const QVariantMap& changes = {});

// `count` such rows of one plant, a minute apart going back from `newest`.
void insertMeasurements(Database& db, const QString& table, qint64 plant, const QDateTime& newest,
                        int count = 1, const QVariantMap& changes = {});
inline void insertStored(Database& db, qint64 plant, const QString& day, const QString& time,
                         const QVariantMap& changes = {}) {
    db.prepare(storedRowInsert()).bindAll(storedRowValues(plant, day, time, changes)).run();
}

// The rows `select` gives, each as its columns' texts joined by "|".
QStringList rowsAsText(Database& db, const QString& select, const QVariantList& params = {});

} // namespace vorna::test
