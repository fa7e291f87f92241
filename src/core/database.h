#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

namespace vorna {

// One prepared statement. Values bind and read as QVariant: integers as qint64, reals as double,
// texts as QString, blobs as QByteArray, NULL as an invalid QVariant.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    ~Statement();

    Statement& bind(int index, const QVariant& value); // 1-based
    Statement& bindAll(const QVariantList& values);
    bool step(); // true while a row is available
    void reset();
    // Runs to completion; returns the number of rows changed.
    int run();

    int columnCount() const;
    QString columnName(int i) const;
    QVariant column(int i) const;
    // Typed reads for loops over many rows, without a QVariant a cell. A NULL reads as 0.
    bool isNull(int i) const;
    double real(int i) const;
    qint64 integer(int i) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// The single-file database connection. Every failure throws RunError.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void open(const QString& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    void exec(const QString& sql); // one or several statements without parameters
    Statement prepare(const QString& sql) const;
    // Cached prepared statement for statements run often (event rows, look-ups).
    Statement& cached(const QString& sql);
    qint64 lastInsertId() const;
    qint64 scalar(const QString& sql, const QVariantList& params = {});

    // Throws the engine's current error as a RunError.
    [[noreturn]] void fail(const QString& what) const;

    class Transaction {
    public:
        explicit Transaction(Database& db);
        ~Transaction(); // rolls back unless committed
        void commit();

    private:
        Database& db_;
        bool done_ = false;
    };

private:
    sqlite3* db_ = nullptr;
    QString path_;
    struct Cache;
    Cache* cache_ = nullptr;
};

// Converts between stored texts and the types the records hold.
QVariant toStored(const QVariant& value);

} // namespace vorna
