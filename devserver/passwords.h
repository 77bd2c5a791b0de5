#pragma once

#include <QByteArray>
#include <QString>

namespace devserver {

// Passwords are kept only as a salted, iterated SHA-256: the salt is random
// per user, so equal passwords never look alike in the file.
struct PasswordHash {
    QByteArray salt;
    QByteArray hash;
    int iterations = 0;
};

PasswordHash hashPassword(const QString& password, int iterations = 20000);
bool verifyPassword(const QString& password, const PasswordHash& stored);

// A random token for session cookies: 32 random bytes as 64 hex digits.
QString randomToken();

} // namespace devserver
