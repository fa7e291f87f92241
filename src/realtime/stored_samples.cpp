#include "stored_samples.h"

#include "database.h"
#include "run_error.h"

namespace vorna {

namespace {

// The columns of the range query: data, ora, the grid's value columns 3 to 25 (ESITOAC in the
// place of the result column 23).
QString rangeColumns() {
    QStringList names{QStringLiteral("data"), QStringLiteral("ora")};
    for (int c = kGridFirstValueColumn; c < kGridColumns; ++c) {
        if (c == kGridResultColumn) {
            names << QStringLiteral("ESITOAC");
            continue;
        }
        for (const MeasurementColumn& m : kMeasurementNumbers)
            if (m.field == gridField(c)) names << QLatin1String(m.name);
    }
    return names.join(QStringLiteral(", "));
}

[[noreturn]] void nullField(const Statement& row, int i) {
    throw RunError(err::kDatabaseBase + 94,
                   QStringLiteral("Invalid use of Null: ") + row.columnName(i));
}

} // namespace

std::vector<QDate> storedSampleDays(Database& db, qint64 plantId) {
    Statement q = db.prepare(
        QStringLiteral("SELECT data FROM realtime WHERE IDIMP=? GROUP BY data ORDER BY data"));
    q.bind(1, plantId);
    std::vector<QDate> days;
    while (q.step()) {
        const QDate d = QDate::fromString(q.column(0).toString(), QStringLiteral("yyyy-MM-dd"));
        if (d.isValid()) days.push_back(d);
    }
    return days;
}

void forEachStoredSample(Database& db, qint64 plantId, const QDate& day, const QTime& startMinute,
                         const QTime& stopMinute, const std::function<void(Statement&)>& onRow) {
    static const QString sql = QStringLiteral("SELECT ") + rangeColumns() +
                               QStringLiteral(" FROM realtime WHERE IDIMP=? AND data=? AND "
                                              "ora>=? AND ora<=? ORDER BY ora, ID");
    const QTime from(startMinute.hour(), startMinute.minute(), 0);
    const QTime to(stopMinute.hour(), stopMinute.minute(), 59);
    Statement q = db.prepare(sql);
    q.bindAll({plantId, day, from, to});
    while (q.step())
        onRow(q);
}

SampleRow readStoredSample(const Statement& row) {
    SampleRow s;
    const QVariant data = row.column(0), ora = row.column(1);
    if (!data.isValid()) nullField(row, 0);
    if (!ora.isValid()) nullField(row, 1);
    s.data = QDate::fromString(data.toString(), QStringLiteral("yyyy-MM-dd"));
    s.ora = QTime::fromString(ora.toString(), QStringLiteral("HH:mm:ss"));
    for (int c = kGridFirstValueColumn; c < kGridColumns; ++c) {
        const int i = c - kGridFirstValueColumn + 2;
        const QVariant v = row.column(i);
        if (!v.isValid()) nullField(row, i);
        if (c == kGridResultColumn)
            s.ESITOAC = v.toLongLong() != 0;
        else
            s.value(c) = v.toDouble();
    }
    return s;
}

} // namespace vorna
