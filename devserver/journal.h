#pragma once

#include "exchange.h"

#include <QFile>
#include <QJsonObject>
#include <QString>

namespace devserver {

// The request journal: one JSON object per line, appended as each request
// arrives, so tests can check exactly what the client sent.
//   {"time": "2026-12-08T14:15:30.123Z", "method": "POST", "path": "/kalvorin/api/mobile/index.php",
//    "action": "login", "query": {"action": "login"}, "headers": {"User-Agent": "...", "Cookie": "s=***"},
//    "bodyBytes": 61, "body": {"username": "agent.it", "password": 10, "biometricAvailable": false}}
// Secrets never reach the file: every cookie value becomes "***", an
// Authorization header becomes "***", and in the body every "password" and
// every "contentBase64" member (at any depth) is replaced by its length in
// characters. A body that is not JSON is recorded only by its size
// ("bodyBytes") with "bodyNotJson": true.
class Journal {
public:
    bool open(const QString& path, QString* error);
    bool isOpen() const { return m_file.isOpen(); }
    void record(const ApiRequest& request);

    static QJsonObject entryFor(const ApiRequest& request);

private:
    QFile m_file;
};

} // namespace devserver
