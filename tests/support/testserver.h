#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace kalvorin::test {

// A scriptable HTTP server inside the test process. Each test says, per
// `action` query value, what to answer (status, headers, body, delay, or hold
// the answer until released), and reads back every request exactly as it came
// in: method, path, raw query, headers and body bytes. It also keeps the
// largest number of requests that were open (received, not yet answered) at the
// same moment, which is how tests prove that requests overlapped.
class TestServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    struct Reply {
        int status = 200;
        QList<std::pair<QByteArray, QByteArray>> headers; // several Set-Cookie allowed
        QByteArray body = "{\"ok\":true}";
        int delayMs = 0;
        bool hold = false; // answered only on release()
        bool drop = false; // connection closed without an answer
    };

    struct Request {
        QByteArray method;
        QString path;
        QByteArray rawQuery; // as sent, percent-encoding intact
        QList<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;
        QString action;
        int openAtArrival = 0; // requests open when this one arrived, itself included

        QByteArray header(const QByteArray& name) const;
        bool hasHeader(const QByteArray& name) const;
        QList<QByteArray> headerValues(const QByteArray& name) const;
    };

    explicit TestServer(QObject* parent = nullptr);
    ~TestServer() override;

    bool start();
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:PORT/kalvorin/"
    QString baseURL() const;

    void setReply(const QString& action, Reply reply) { m_replies.insert(action, std::move(reply)); }
    void setReply(const QString& action, int status, const QByteArray& body) {
        Reply r;
        r.status = status;
        r.body = body;
        setReply(action, r);
    }

    const QList<Request>& requests() const { return m_requests; }
    QList<Request> requestsFor(const QString& action) const;
    int peakOpen() const { return m_peakOpen; }
    int heldCount() const { return int(m_held.size()); }

    // Answers every held request.
    void release();

signals:
    void requestArrived();

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Pending;
    void answer(std::shared_ptr<Pending> pending);

    quint16 m_port = 0;
    QHash<QString, Reply> m_replies;
    QList<Request> m_requests;
    QList<std::shared_ptr<Pending>> m_held;
    int m_open = 0;
    int m_peakOpen = 0;
};

} // namespace kalvorin::test
