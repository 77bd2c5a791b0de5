#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <stdexcept>

namespace devserver {

// A statement that SQLite refused. Thrown inside a request's transaction and
// caught by the dispatcher, which rolls back and answers 500: a half-written
// change never reaches the file.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The one SQLite connection of the server (main thread only).
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (creating folders and schema as needed). `reset` deletes the file first.
    bool open(const QString& path, bool reset, QString* error);
    void close();

    QString path() const { return m_path; }
    bool isEmpty(); // no users yet: a fresh file

    // Runs one statement with positional `?` bindings; throws DatabaseError.
    QSqlQuery exec(const QString& sql, const QVariantList& binds = {});
    // The first column of the first row, or an invalid QVariant.
    QVariant scalar(const QString& sql, const QVariantList& binds = {});
    qint64 lastInsertId(const QSqlQuery& q) const { return q.lastInsertId().toLongLong(); }

    QSqlDatabase& handle() { return m_db; }

    // Meta values (ticket number counters and the like).
    QString meta(const QString& key, const QString& fallback = {});
    void setMeta(const QString& key, const QString& value);

private:
    void createSchema();

    QSqlDatabase m_db;
    QString m_connection;
    QString m_path;
};

// Every write runs inside one of these: begun on construction, rolled back on
// destruction unless committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
};

} // namespace devserver
