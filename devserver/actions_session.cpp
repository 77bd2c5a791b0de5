// Session actions: status, login, logout.

#include "actions.h"
#include "passwords.h"
#include "vocabulary.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

namespace devserver {

namespace {

QByteArray sessionCookie(const QString& token, qint64 maxAge) {
    return kSessionCookie.toLatin1() + '=' + token.toLatin1() +
           "; Path=/; HttpOnly; SameSite=Lax; Max-Age=" + QByteArray::number(maxAge);
}

} // namespace

ApiReply Actions::status(Call& call) {
    bool dbOk = true;
    try {
        m_db.scalar(QStringLiteral("SELECT 1"));
    } catch (const DatabaseError&) {
        dbOk = false;
    }
    return ApiReply::ok(
        {{QStringLiteral("ok"), true},
         {QStringLiteral("authenticated"), call.account.has_value()},
         {QStringLiteral("database"),
          QJsonObject{{QStringLiteral("ok"), dbOk},
                      {QStringLiteral("message"), dbOk ? QStringLiteral("قاعدة البيانات متصلة")
                                                       : QStringLiteral("تعذر الاتصال بقاعدة البيانات")},
                      {QStringLiteral("name"), QFileInfo(m_db.path()).fileName()},
                      {QStringLiteral("host"), QStringLiteral("localhost")},
                      {QStringLiteral("source"), QStringLiteral("SQLite")}}},
         {QStringLiteral("serverTime"),
          QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
         {QStringLiteral("system"),
          QStringLiteral("KALVORIN Help Desk — خادم التطوير " KALVORIN_DEVSERVER_VERSION)}});
}

ApiReply Actions::login(Call& call) {
    const QJsonObject& body = call.request.json;
    const auto username = stringMember(body, QStringLiteral("username"));
    const auto password = stringMember(body, QStringLiteral("password"));
    if (!username || !password)
        return ApiReply::error(422, QStringLiteral("أدخل اسم المستخدم وكلمة المرور."));
    if (body.contains(QStringLiteral("biometricAvailable")) &&
        !body.value(QStringLiteral("biometricAvailable")).isBool())
        return ApiReply::error(422, QStringLiteral("قيمة biometricAvailable يجب أن تكون منطقية."));
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9._-]+$"));
    if (!allowed.match(*username).hasMatch())
        return ApiReply::error(422,
                               QStringLiteral("اسم المستخدم يقبل حروف وأرقام إنجليزية والنقطة والشرطة فقط."));

    QSqlQuery q =
        m_db.exec(QStringLiteral("SELECT salt, hash, iterations FROM users WHERE username = ?"), {*username});
    PasswordHash stored;
    if (q.next())
        stored = {q.value(0).toByteArray(), q.value(1).toByteArray(), q.value(2).toInt()};
    else
        (void)hashPassword(*password, 20000); // same time for an unknown name
    if (!verifyPassword(*password, stored))
        return ApiReply::error(401, QStringLiteral("اسم المستخدم أو كلمة المرور غير صحيحة."));

    const QString token = randomToken();
    const qint64 at = now();
    Transaction t(m_db);
    m_db.exec(QStringLiteral("DELETE FROM sessions WHERE expires_at <= ?"), {at});
    m_db.exec(
        QStringLiteral("INSERT INTO sessions(token, username, created_at, expires_at) VALUES(?, ?, ?, ?)"),
        {token, *username, at, at + kSessionSeconds});
    t.commit();

    const auto account = loadAccount(*username);
    ApiReply r = ApiReply::ok({{QStringLiteral("ok"), true},
                               {QStringLiteral("user"), userJson(*account)},
                               {QStringLiteral("message"), QStringLiteral("تم تسجيل الدخول بنجاح.")}});
    r.headers.append({"Set-Cookie", sessionCookie(token, kSessionSeconds)});
    return r;
}

ApiReply Actions::logout(Call& call) {
    if (!call.sessionToken.isEmpty()) {
        Transaction t(m_db);
        m_db.exec(QStringLiteral("DELETE FROM sessions WHERE token = ?"), {call.sessionToken});
        t.commit();
    }
    ApiReply r = ApiReply::ok(
        {{QStringLiteral("ok"), true}, {QStringLiteral("message"), QStringLiteral("تم تسجيل الخروج.")}});
    r.headers.append({"Set-Cookie", sessionCookie(QString(), 0)});
    return r;
}

int endSessions(Database& db, const QString& username) {
    Transaction t(db);
    QSqlQuery q = db.exec(QStringLiteral("DELETE FROM sessions WHERE username = ?"), {username});
    t.commit();
    return q.numRowsAffected();
}

} // namespace devserver
