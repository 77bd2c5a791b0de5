#include "faults.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace devserver {

namespace {

bool validAction(const QString& action) {
    static const QRegularExpression re(QStringLiteral("^(\\*|[a-z_]+)$"));
    return re.match(action).hasMatch();
}

} // namespace

bool FaultPlan::addLatency(const QString& rule, QString* problem) {
    QString action = QStringLiteral("*");
    QString ms = rule;
    if (const qsizetype eq = rule.indexOf(u'='); eq >= 0) {
        action = rule.left(eq).trimmed();
        ms = rule.mid(eq + 1);
    }
    bool ok = false;
    const int value = ms.trimmed().toInt(&ok);
    if (!ok || value < 0 || !validAction(action)) {
        *problem = QStringLiteral("wants MS or ACTION=MS, got \"%1\"").arg(rule);
        return false;
    }
    m_latency.insert(action, value);
    return true;
}

bool FaultPlan::addFailure(const QString& rule, QString* problem) {
    const qsizetype eq = rule.indexOf(u'=');
    const QString action = eq < 0 ? QString() : rule.left(eq).trimmed();
    QString rest = eq < 0 ? QString() : rule.mid(eq + 1);
    Failure f;
    if (const qsizetype colon = rest.indexOf(u':'); colon >= 0) {
        f.body = rest.mid(colon + 1).toUtf8();
        rest = rest.left(colon);
    }
    bool ok = false;
    f.status = rest.trimmed().toInt(&ok);
    if (eq < 0 || !ok || f.status < 100 || f.status > 599 || !validAction(action)) {
        *problem = QStringLiteral("wants ACTION=STATUS[:BODY], got \"%1\"").arg(rule);
        return false;
    }
    m_failures.insert(action, f);
    return true;
}

bool FaultPlan::addDrop(const QString& rule, QString* problem) {
    const QString action = rule.trimmed();
    if (!validAction(action)) {
        *problem = QStringLiteral("wants an action name, got \"%1\"").arg(rule);
        return false;
    }
    m_drops.insert(action);
    return true;
}

bool FaultPlan::addGarbage(const QString& rule, QString* problem) {
    const qsizetype eq = rule.indexOf(u'=');
    const QString action = (eq < 0 ? rule : rule.left(eq)).trimmed();
    const QString mode = eq < 0 ? QStringLiteral("text") : rule.mid(eq + 1).trimmed();
    if (!validAction(action) || (mode != QLatin1String("text") && mode != QLatin1String("type"))) {
        *problem = QStringLiteral("wants ACTION[=text|type], got \"%1\"").arg(rule);
        return false;
    }
    m_garbage.insert(action, mode == QLatin1String("type") ? Garbage::WrongType : Garbage::NotJson);
    return true;
}

void FaultPlan::clear() {
    m_latency.clear();
    m_failures.clear();
    m_drops.clear();
    m_garbage.clear();
}

bool FaultPlan::isEmpty() const {
    return m_latency.isEmpty() && m_failures.isEmpty() && m_drops.isEmpty() && m_garbage.isEmpty();
}

FaultPlan::Decision FaultPlan::decide(const QString& action) const {
    Decision d;
    d.delayMs = lookup(m_latency, action).value_or(0);
    d.failure = lookup(m_failures, action);
    d.drop = m_drops.contains(action) || m_drops.contains(QStringLiteral("*"));
    d.garbage = lookup(m_garbage, action);
    return d;
}

QJsonObject FaultPlan::toJson() const {
    QJsonObject latency;
    for (auto it = m_latency.cbegin(); it != m_latency.cend(); ++it)
        latency.insert(it.key(), it.value());
    QJsonObject failures;
    for (auto it = m_failures.cbegin(); it != m_failures.cend(); ++it) {
        QJsonObject f{{QStringLiteral("status"), it->status}};
        if (it->body)
            f.insert(QStringLiteral("body"), QString::fromUtf8(*it->body));
        failures.insert(it.key(), f);
    }
    QJsonArray drops;
    for (const QString& a : m_drops)
        drops.append(a);
    QJsonObject garbage;
    for (auto it = m_garbage.cbegin(); it != m_garbage.cend(); ++it)
        garbage.insert(it.key(),
                       it.value() == Garbage::WrongType ? QStringLiteral("type") : QStringLiteral("text"));
    return {{QStringLiteral("latency"), latency},
            {QStringLiteral("fail"), failures},
            {QStringLiteral("drop"), drops},
            {QStringLiteral("garbage"), garbage}};
}

} // namespace devserver
