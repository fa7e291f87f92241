#pragma once

#include "database.h"

#include <QDate>
#include <QHash>
#include <QStringList>
#include <QTime>
#include <vector>

namespace vorna {

// A set of rows held in memory with a current row, read and changed by column name
// (names match case-insensitively). Opened from a table, it can add, edit and delete rows;
// opened from a free SELECT it is read-only.
class RecordSet {
public:
    // The whole table in insertion order.
    static RecordSet table(Database& db, const QString& table);
    // "SELECT * FROM table " + clause, with bound parameters; rows can be changed.
    static RecordSet query(Database& db, const QString& table, const QString& clause,
                           const QVariantList& params = {});
    // Any SELECT; read-only.
    static RecordSet select(Database& db, const QString& sql, const QVariantList& params = {});

    RecordSet(RecordSet&&) noexcept = default;
    RecordSet& operator=(RecordSet&&) noexcept = default;

    bool eof() const { return pos_ < 0 || pos_ >= int(rows_.size()); }
    void moveFirst() { pos_ = rows_.empty() ? -1 : 0; }
    void moveLast() { pos_ = int(rows_.size()) - 1; }
    void moveNext();
    int rowCount() const { return int(rows_.size()); }
    int position() const { return pos_; }
    const QStringList& columns() const { return names_; }

    bool hasField(const QString& name) const;
    QVariant field(const QString& name) const;
    bool isNull(const QString& name) const {
        return !field(name).isValid() || field(name).isNull();
    }
    // Typed reads; a null number reads as 0, a null text as empty, a null date as invalid.
    double number(const QString& name) const;
    qint64 integer(const QString& name) const;
    bool boolean(const QString& name) const;
    QString text(const QString& name) const;
    QDate date(const QString& name) const;
    QTime time(const QString& name) const;

    // Changes: addNew or edit, then setField, then update writes the row to the database.
    void addNew();
    void edit();
    void setField(const QString& name, const QVariant& value);
    void update(); // after a new row, the current row is the new one
    void cancelUpdate();
    void remove();     // deletes the current row; the current row becomes the next one
    qint64 id() const; // the current row's key

private:
    RecordSet(Database& db, QString table);
    void load(Statement& st, bool withKey);
    int index(const QString& name) const;
    void requireRow() const;

    enum class Mode { None, Adding, Editing };
    Database* db_ = nullptr;
    QString table_; // empty: read-only
    QStringList names_;
    QHash<QString, int> byName_;
    std::vector<std::vector<QVariant>> rows_;
    std::vector<qint64> keys_;
    int pos_ = -1;
    Mode mode_ = Mode::None;
    std::vector<QVariant> pending_;
    std::vector<bool> touched_;
};

} // namespace vorna
