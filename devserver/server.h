#pragma once

#include "actions.h"
#include "database.h"
#include "faults.h"
#include "journal.h"
#include "options.h"

#include <QAbstractHttpServer>
#include <QHttpServerResponder>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <memory>

namespace devserver {

// The HTTP side: takes each request apart, writes it to the journal, applies
// the injected faults, runs the action and writes its answer. Answers can be
// held back (latency) because each pending request keeps its own responder.
class DevServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    DevServer(Options& options, Database& db, QObject* parent = nullptr);
    ~DevServer() override;

    // Listens as the options say; on success `url` is the script URL.
    bool start(QString* url, QString* error);
    quint16 port() const { return m_port; }
    Actions& actions() { return m_actions; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Pending {
        QHttpServerResponder responder;
        QPointer<QTcpSocket> socket;
        ApiRequest request;
        FaultPlan::Decision faults;
    };

    void answer(const std::shared_ptr<Pending>& pending);
    ApiReply dispatch(const ApiRequest& request);
    static void write(QHttpServerResponder& out, const ApiReply& reply);

    Options& m_options;
    Database& m_db;
    Journal m_journal;
    Actions m_actions;
    quint16 m_port = 0;
};

} // namespace devserver
