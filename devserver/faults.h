#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <optional>

namespace devserver {

// Faults that tests and benchmarks inject. Each is keyed by action name; "*"
// stands for every action. Written in the command line's own syntax, so the
// control action can take the same texts while the server runs.
//   latency  "MS" or "ACTION=MS"
//   fail     "ACTION=STATUS" or "ACTION=STATUS:BODY"
//   drop     "ACTION"
//   garbage  "ACTION", "ACTION=text" (not JSON) or "ACTION=type" (JSON whose `ok` is a string)
class FaultPlan {
public:
    enum class Garbage { NotJson, WrongType };

    struct Failure {
        int status = 500;
        std::optional<QByteArray> body; // raw; a JSON message of our own when absent
    };

    // What happens to one request of `action`.
    struct Decision {
        int delayMs = 0;
        std::optional<Failure> failure;
        bool drop = false;
        std::optional<Garbage> garbage;
    };

    bool addLatency(const QString& rule, QString* problem);
    bool addFailure(const QString& rule, QString* problem);
    bool addDrop(const QString& rule, QString* problem);
    bool addGarbage(const QString& rule, QString* problem);
    void clear();
    bool isEmpty() const;

    Decision decide(const QString& action) const;
    QJsonObject toJson() const;

private:
    template <class T> static std::optional<T> lookup(const QHash<QString, T>& map, const QString& action) {
        if (auto it = map.constFind(action); it != map.cend())
            return *it;
        if (auto it = map.constFind(QStringLiteral("*")); it != map.cend())
            return *it;
        return std::nullopt;
    }

    QHash<QString, int> m_latency;
    QHash<QString, Failure> m_failures;
    QSet<QString> m_drops;
    QHash<QString, Garbage> m_garbage;
};

} // namespace devserver
