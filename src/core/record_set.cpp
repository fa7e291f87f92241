#include "record_set.h"

#include "run_error.h"

#include <QDateTime>

namespace vorna {

namespace {
const QString kKey = QStringLiteral("_key_");

QString quoted(const QString& identifier) {
    QString q = identifier;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

RecordSet::RecordSet(Database& db, QString table) : db_(&db), table_(std::move(table)) {}

RecordSet RecordSet::table(Database& db, const QString& table) {
    return query(db, table, QStringLiteral("ORDER BY rowid"));
}

RecordSet RecordSet::query(Database& db, const QString& table, const QString& clause,
                           const QVariantList& params) {
    RecordSet rs(db, table);
    Statement st =
        db.prepare(QStringLiteral("SELECT rowid AS ") + kKey + QStringLiteral(", * FROM ") +
                   quoted(table) + QLatin1Char(' ') + clause);
    st.bindAll(params);
    rs.load(st, true);
    return rs;
}

RecordSet RecordSet::select(Database& db, const QString& sql, const QVariantList& params) {
    RecordSet rs(db, QString());
    Statement st = db.prepare(sql);
    st.bindAll(params);
    rs.load(st, false);
    return rs;
}

void RecordSet::load(Statement& st, bool withKey) {
    const int first = withKey ? 1 : 0;
    const int n = st.columnCount();
    for (int i = first; i < n; ++i) {
        names_ << st.columnName(i);
        byName_.insert(names_.last().toLower(), i - first);
    }
    while (st.step()) {
        std::vector<QVariant> row;
        row.reserve(size_t(n - first));
        for (int i = first; i < n; ++i)
            row.push_back(st.column(i));
        rows_.push_back(std::move(row));
        keys_.push_back(withKey ? st.column(0).toLongLong() : -1);
    }
    moveFirst();
}

void RecordSet::moveNext() {
    if (pos_ < int(rows_.size())) ++pos_;
}

int RecordSet::index(const QString& name) const {
    const auto it = byName_.constFind(name.toLower());
    if (it == byName_.constEnd())
        throw RunError(err::kDatabaseBase + 265,
                       QStringLiteral("Item not found in this collection: ") + name);
    return it.value();
}

bool RecordSet::hasField(const QString& name) const {
    return byName_.contains(name.toLower());
}

void RecordSet::requireRow() const {
    if (eof()) throw RunError(err::kDatabaseBase + 21, QStringLiteral("No current record."));
}

QVariant RecordSet::field(const QString& name) const {
    const int i = index(name);
    if (mode_ != Mode::None) return pending_[size_t(i)];
    requireRow();
    return rows_[size_t(pos_)][size_t(i)];
}

double RecordSet::number(const QString& name) const {
    const QVariant v = field(name);
    if (v.isNull() || !v.isValid()) return 0.0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) throw RunError(err::kTypeMismatch, QStringLiteral("Type mismatch: ") + name);
    return d;
}

qint64 RecordSet::integer(const QString& name) const {
    const QVariant v = field(name);
    if (v.isNull() || !v.isValid()) return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) throw RunError(err::kTypeMismatch, QStringLiteral("Type mismatch: ") + name);
    return qint64(d);
}

bool RecordSet::boolean(const QString& name) const {
    return integer(name) != 0;
}

QString RecordSet::text(const QString& name) const {
    const QVariant v = field(name);
    if (v.isNull() || !v.isValid()) return {};
    return v.toString();
}

QDate RecordSet::date(const QString& name) const {
    const QString t = text(name);
    return QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
}

QTime RecordSet::time(const QString& name) const {
    const QString t = text(name);
    // Times stand alone ("HH:mm:ss") or after a date ("yyyy-MM-dd HH:mm:ss").
    return QTime::fromString(t.size() > 8 ? t.right(8) : t, QStringLiteral("HH:mm:ss"));
}

void RecordSet::addNew() {
    if (table_.isEmpty())
        throw RunError(err::kDatabaseBase + 8, QStringLiteral("Record set is read-only"));
    mode_ = Mode::Adding;
    pending_.assign(size_t(names_.size()), QVariant());
    touched_.assign(size_t(names_.size()), false);
}

void RecordSet::edit() {
    if (table_.isEmpty())
        throw RunError(err::kDatabaseBase + 8, QStringLiteral("Record set is read-only"));
    requireRow();
    mode_ = Mode::Editing;
    pending_ = rows_[size_t(pos_)];
    touched_.assign(size_t(names_.size()), false);
}

void RecordSet::setField(const QString& name, const QVariant& value) {
    if (mode_ == Mode::None)
        throw RunError(err::kDatabaseBase + 20, QStringLiteral("Update without AddNew or Edit"));
    const int i = index(name);
    pending_[size_t(i)] = toStored(value);
    touched_[size_t(i)] = true;
}

void RecordSet::update() {
    if (mode_ == Mode::None)
        throw RunError(err::kDatabaseBase + 20, QStringLiteral("Update without AddNew or Edit"));
    QStringList cols;
    QVariantList values;
    for (int i = 0; i < names_.size(); ++i) {
        if (!touched_[size_t(i)]) continue;
        cols << quoted(names_[i]);
        values << pending_[size_t(i)];
    }
    if (mode_ == Mode::Adding) {
        QString sql;
        if (cols.isEmpty()) {
            sql =
                QStringLiteral("INSERT INTO ") + quoted(table_) + QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList marks;
            for (int i = 0; i < cols.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO ") + quoted(table_) + QStringLiteral(" (") +
                  cols.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                  marks.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        db_->cached(sql).bindAll(values).run();
        const qint64 key = db_->lastInsertId();
        // Read the row back so defaults and the assigned ID are what the set holds.
        Statement back = db_->prepare(QStringLiteral("SELECT * FROM ") + quoted(table_) +
                                      QStringLiteral(" WHERE rowid=?"));
        back.bind(1, key);
        std::vector<QVariant> row(size_t(names_.size()));
        if (back.step()) {
            for (int i = 0; i < back.columnCount() && i < names_.size(); ++i)
                row[size_t(i)] = back.column(i);
        }
        rows_.push_back(std::move(row));
        keys_.push_back(key);
        pos_ = int(rows_.size()) - 1;
    } else {
        if (!cols.isEmpty()) {
            QStringList sets;
            for (const QString& c : cols)
                sets << c + QStringLiteral("=?");
            values << keys_[size_t(pos_)];
            db_->cached(QStringLiteral("UPDATE ") + quoted(table_) + QStringLiteral(" SET ") +
                        sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE rowid=?"))
                .bindAll(values)
                .run();
        }
        rows_[size_t(pos_)] = pending_;
    }
    cancelUpdate();
}

void RecordSet::cancelUpdate() {
    mode_ = Mode::None;
    pending_.clear();
    touched_.clear();
}

void RecordSet::remove() {
    if (table_.isEmpty())
        throw RunError(err::kDatabaseBase + 8, QStringLiteral("Record set is read-only"));
    requireRow();
    db_->cached(QStringLiteral("DELETE FROM ") + quoted(table_) + QStringLiteral(" WHERE rowid=?"))
        .bind(1, keys_[size_t(pos_)])
        .run();
    rows_.erase(rows_.begin() + pos_);
    keys_.erase(keys_.begin() + pos_);
}

qint64 RecordSet::id() const {
    requireRow();
    return keys_[size_t(pos_)];
}

} // namespace vorna
