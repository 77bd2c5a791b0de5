#include "database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QUuid>

namespace devserver {

namespace {

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS scopes(id TEXT PRIMARY KEY, type TEXT, type_label TEXT, name TEXT, path TEXT,"
    " unit TEXT NOT NULL, sort INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS users(username TEXT PRIMARY KEY, name TEXT NOT NULL, role TEXT NOT NULL,"
    " scope_id TEXT REFERENCES scopes(id), unit TEXT, department TEXT, region TEXT, division TEXT, section "
    "TEXT,"
    " org_id TEXT, salt BLOB NOT NULL, hash BLOB NOT NULL, iterations INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS sessions(token TEXT PRIMARY KEY, username TEXT NOT NULL REFERENCES "
    "users(username)"
    " ON DELETE CASCADE, created_at INTEGER NOT NULL, expires_at INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS org_units(department TEXT NOT NULL, admin TEXT NOT NULL, division TEXT NOT "
    "NULL,"
    " section TEXT NOT NULL, sort INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS services(id INTEGER PRIMARY KEY, name TEXT NOT NULL, category TEXT, priority "
    "TEXT,"
    " scope_id TEXT REFERENCES scopes(id), region TEXT)",
    "CREATE TABLE IF NOT EXISTS reasons(kind TEXT NOT NULL, text TEXT NOT NULL, sort INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS people(national_id TEXT PRIMARY KEY, username TEXT UNIQUE, full_name TEXT,"
    " mobile TEXT, fixed_phone TEXT, email TEXT, ip TEXT, department TEXT, region TEXT, division TEXT, "
    "section TEXT)",
    "CREATE TABLE IF NOT EXISTS tickets(id INTEGER PRIMARY KEY, maintenance_no TEXT UNIQUE NOT NULL, title "
    "TEXT,"
    " description TEXT, state TEXT NOT NULL, priority TEXT NOT NULL, service_id INTEGER REFERENCES "
    "services(id),"
    " scope_id TEXT REFERENCES scopes(id), handler_user TEXT REFERENCES users(username), beneficiary_name "
    "TEXT,"
    " beneficiary_user TEXT, beneficiary_mobile TEXT, beneficiary_fixed TEXT, beneficiary_email TEXT,"
    " beneficiary_ip TEXT, beneficiary_national_id TEXT, entity_name TEXT, department_name TEXT, location "
    "TEXT,"
    " office_name TEXT, channel TEXT, created_by TEXT, created_at INTEGER NOT NULL, updated_at INTEGER NOT "
    "NULL,"
    " closed_at INTEGER, sla_minutes INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS tickets_scope ON tickets(scope_id)",
    "CREATE INDEX IF NOT EXISTS tickets_created ON tickets(created_at)",
    "CREATE TABLE IF NOT EXISTS ticket_log(id INTEGER PRIMARY KEY, ticket_id INTEGER NOT NULL REFERENCES "
    "tickets(id)"
    " ON DELETE CASCADE, key TEXT NOT NULL, actor TEXT NOT NULL, actor_user TEXT, state TEXT, priority TEXT,"
    " note TEXT, reason TEXT, created_at INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS ticket_log_ticket ON ticket_log(ticket_id)",
    "CREATE TABLE IF NOT EXISTS participants(ticket_id INTEGER NOT NULL REFERENCES tickets(id) ON DELETE "
    "CASCADE,"
    " scope_id TEXT NOT NULL REFERENCES scopes(id), username TEXT, name TEXT, role TEXT, reason TEXT,"
    " created_at INTEGER NOT NULL, PRIMARY KEY(ticket_id, scope_id))",
    "CREATE INDEX IF NOT EXISTS participants_scope ON participants(scope_id)",
    "CREATE TABLE IF NOT EXISTS attachments(id INTEGER PRIMARY KEY, ticket_id INTEGER NOT NULL REFERENCES "
    "tickets(id)"
    " ON DELETE CASCADE, name TEXT, mime TEXT, size INTEGER NOT NULL, purpose TEXT, data BLOB, uploaded_by "
    "TEXT,"
    " created_at INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS attachments_ticket ON attachments(ticket_id)",
    "CREATE TABLE IF NOT EXISTS notifications(id INTEGER PRIMARY KEY, username TEXT NOT NULL REFERENCES"
    " users(username), title TEXT, body TEXT, type TEXT, is_read INTEGER NOT NULL DEFAULT 0,"
    " created_at INTEGER NOT NULL, maintenance_no TEXT)",
    "CREATE INDEX IF NOT EXISTS notifications_user ON notifications(username)",
    "CREATE TABLE IF NOT EXISTS devices(device_id TEXT PRIMARY KEY, username TEXT, platform TEXT, "
    "app_version TEXT,"
    " server_url TEXT, notifications_enabled INTEGER, registered_at INTEGER NOT NULL, updated_at INTEGER NOT "
    "NULL)",
};

} // namespace

Database::~Database() {
    close();
}

bool Database::open(const QString& path, bool reset, QString* error) {
    m_path = QFileInfo(path).absoluteFilePath();
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (reset) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(m_path + QLatin1String(suffix));
    }
    m_connection = QStringLiteral("devserver-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_path);
    if (!m_db.open()) {
        *error = m_db.lastError().text();
        return false;
    }
    try {
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        exec(QStringLiteral("PRAGMA foreign_keys=ON"));
        Transaction t(*this);
        createSchema();
        t.commit();
    } catch (const DatabaseError& e) {
        *error = QString::fromUtf8(e.what());
        return false;
    }
    return true;
}

void Database::close() {
    if (m_connection.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

void Database::createSchema() {
    for (const char* statement : kSchema)
        exec(QString::fromUtf8(statement));
}

bool Database::isEmpty() {
    return scalar(QStringLiteral("SELECT COUNT(*) FROM users")).toLongLong() == 0;
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& binds) {
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DatabaseError((q.lastError().text() + QStringLiteral(" in: ") + sql).toStdString());
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec())
        throw DatabaseError((q.lastError().text() + QStringLiteral(" in: ") + sql).toStdString());
    return q;
}

QVariant Database::scalar(const QString& sql, const QVariantList& binds) {
    QSqlQuery q = exec(sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

QString Database::meta(const QString& key, const QString& fallback) {
    const QVariant v = scalar(QStringLiteral("SELECT value FROM meta WHERE key = ?"), {key});
    return v.isValid() ? v.toString() : fallback;
}

void Database::setMeta(const QString& key, const QString& value) {
    exec(QStringLiteral("INSERT INTO meta(key, value) VALUES(?, ?) ON CONFLICT(key) DO UPDATE SET value = "
                        "excluded.value"),
         {key, value});
}

Transaction::Transaction(Database& db) : m_db(db) {
    if (!m_db.handle().transaction())
        throw DatabaseError("cannot begin a transaction");
}

Transaction::~Transaction() {
    if (!m_done)
        m_db.handle().rollback();
}

void Transaction::commit() {
    if (!m_db.handle().commit())
        throw DatabaseError("cannot commit");
    m_done = true;
}

} // namespace devserver
