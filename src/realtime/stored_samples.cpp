#include "stored_samples.h"

#include "clock_text.h"
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
    // The distinct days in order, one index seek a day from the day before: the plant's
    // samples are never walked, so ten years of them cost what their days cost.
    Statement q = db.prepare(QStringLiteral(
        "WITH RECURSIVE days(d) AS (SELECT MIN(data) FROM realtime WHERE IDIMP=?1 UNION ALL "
        "SELECT (SELECT MIN(data) FROM realtime WHERE IDIMP=?1 AND data>days.d) FROM days "
        "WHERE days.d IS NOT NULL) SELECT d FROM days WHERE d IS NOT NULL"));
    q.bind(1, plantId);
    std::vector<QDate> days;
    while (q.step()) {
        const QDate d = dateFromStoredText(q.column(0).toString());
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
    // A null reads as 0, so only a 0 needs asking whether it is one: one call to the engine a
    // cell instead of two. Nulls are looked for first, column by column.
    for (int i = 0; i < 2; ++i)
        if (row.isNull(i)) nullField(row, i);
    SampleRow s;
    for (int c = kGridFirstValueColumn; c < kGridColumns; ++c) {
        const int i = c - kGridFirstValueColumn + 2;
        if (c == kGridResultColumn) {
            const qint64 v = row.integer(i);
            if (v == 0 && row.isNull(i)) nullField(row, i);
            s.ESITOAC = v != 0;
        } else {
            const double v = row.real(i);
            if (v == 0 && row.isNull(i)) nullField(row, i);
            s.value(c) = v;
        }
    }
    const QString data = row.column(0).toString(), ora = row.column(1).toString();
    s.data = dateFromStoredText(data);
    const int seconds = secondsFromClockText(ora);
    if (!s.data.isValid() || seconds < 0)
        throw RunError(err::kTypeMismatch,
                       QStringLiteral("Type mismatch: ") + data + QLatin1Char(' ') + ora);
    s.ora = QTime::fromMSecsSinceStartOfDay(seconds * 1000);
    return s;
}

} // namespace vorna
