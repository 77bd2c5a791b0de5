#include "passwords.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace devserver {

namespace {

QByteArray randomBytes(int n) {
    QByteArray out(n, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(out.data()), n / 4);
    return out;
}

QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
    const QByteArray secret = password.toUtf8();
    QByteArray digest = QCryptographicHash::hash(salt + secret, QCryptographicHash::Sha256);
    for (int i = 1; i < iterations; ++i)
        digest = QCryptographicHash::hash(digest + salt + secret, QCryptographicHash::Sha256);
    return digest;
}

} // namespace

PasswordHash hashPassword(const QString& password, int iterations) {
    PasswordHash h;
    h.salt = randomBytes(16);
    h.iterations = iterations;
    h.hash = derive(password, h.salt, iterations);
    return h;
}

bool verifyPassword(const QString& password, const PasswordHash& stored) {
    if (stored.iterations < 1 || stored.salt.isEmpty())
        return false;
    const QByteArray candidate = derive(password, stored.salt, stored.iterations);
    if (candidate.size() != stored.hash.size())
        return false;
    // Compare every byte so the time does not tell how much matched.
    unsigned char diff = 0;
    for (qsizetype i = 0; i < candidate.size(); ++i)
        diff |= static_cast<unsigned char>(candidate[i] ^ stored.hash[i]);
    return diff == 0;
}

QString randomToken() {
    return QString::fromLatin1(randomBytes(32).toHex());
}

} // namespace devserver
