#include "vocabulary.h"

#include <QHash>
#include <QTextBoundaryFinder>

namespace devserver {

QString stateName(const QString& code) {
    static const QHash<QString, QString> names{
        {state::New, QStringLiteral("جديد")},
        {state::Processing, QStringLiteral("قيد المعالجة")},
        {state::AwaitingManager, QStringLiteral("بانتظار اعتماد الإحالة")},
        {state::Closed, QStringLiteral("مغلق")},
        {state::Rejected, QStringLiteral("مرفوض")},
    };
    return names.value(code, code);
}

QStringList stateNames() {
    return {stateName(state::New), stateName(state::Processing), stateName(state::AwaitingManager),
            stateName(state::Closed), stateName(state::Rejected)};
}

bool isOpenState(const QString& code) {
    return code != state::Closed && code != state::Rejected;
}

QString priorityName(const QString& code) {
    static const QHash<QString, QString> names{
        {QStringLiteral("critical"), QStringLiteral("حرجة")},
        {QStringLiteral("high"), QStringLiteral("عالية")},
        {QStringLiteral("medium"), QStringLiteral("متوسطة")},
        {QStringLiteral("low"), QStringLiteral("منخفضة")},
    };
    return names.value(code, code);
}

QStringList priorityNames() {
    return {QStringLiteral("حرجة"), QStringLiteral("عالية"), QStringLiteral("متوسطة"),
            QStringLiteral("منخفضة")};
}

std::optional<QString> priorityCode(const QString& name) {
    static const QHash<QString, QString> codes{
        {QStringLiteral("حرجة"), QStringLiteral("critical")},
        {QStringLiteral("حرجة جداً"), QStringLiteral("critical")},
        {QStringLiteral("عالية"), QStringLiteral("high")},
        {QStringLiteral("متوسطة"), QStringLiteral("medium")},
        {QStringLiteral("منخفضة"), QStringLiteral("low")},
    };
    if (auto it = codes.constFind(name.trimmed()); it != codes.cend())
        return *it;
    return std::nullopt;
}

int slaMinutesFor(const QString& code) {
    if (code == QLatin1String("critical"))
        return 4 * 60;
    if (code == QLatin1String("high"))
        return 8 * 60;
    if (code == QLatin1String("medium"))
        return 24 * 60;
    return 72 * 60;
}

QString roleLabel(const QString& r) {
    if (r == role::Admin)
        return QStringLiteral("مدير النظام");
    if (r == role::Supervisor)
        return QStringLiteral("مشرف جهة المعالجة");
    return QStringLiteral("موظف معالجة");
}

QString formatTime(qint64 epochSeconds) {
    return QDateTime::fromSecsSinceEpoch(epochSeconds).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

qint64 now() {
    return QDateTime::currentSecsSinceEpoch();
}

SlaFigures slaFor(qint64 createdAt, std::optional<qint64> endedAt, int allowedMinutes, qint64 at) {
    SlaFigures s;
    const qint64 end = endedAt.value_or(at);
    const qint64 usedMinutes = std::max<qint64>(0, (end - createdAt) / 60);
    const qint64 allowed = std::max(1, allowedMinutes);
    s.percent = usedMinutes * 100 / allowed;
    s.remaining = std::max<qint64>(0, allowed - usedMinutes);
    s.breached = usedMinutes > allowed;
    s.near = !s.breached && s.percent >= 75;
    return s;
}

QJsonObject slaJson(const SlaFigures& sla) {
    return {{QStringLiteral("percent"), sla.percent},
            {QStringLiteral("remaining"), sla.remaining},
            {QStringLiteral("breached"), sla.breached},
            {QStringLiteral("near"), sla.near}};
}

QJsonArray workflowFor(const QString& code, bool hasHandler) {
    const bool ended = !isOpenState(code);
    auto step = [](const QString& label, bool done) {
        return QJsonObject{{QStringLiteral("label"), label}, {QStringLiteral("done"), done}};
    };
    return {step(QStringLiteral("استلام البلاغ"), true), step(QStringLiteral("الإسناد لجهة المعالجة"), true),
            step(QStringLiteral("المعالجة الفنية"), hasHandler || code == state::Processing || ended),
            step(QStringLiteral("اعتماد الإغلاق"), ended)};
}

int minimumNoteLength(const QString& operation) {
    static const QHash<QString, int> minimum{
        {QStringLiteral("comment"), 8},         {QStringLiteral("route"), 8},
        {QStringLiteral("close"), 8},           {QStringLiteral("reject"), 0},
        {QStringLiteral("managerRoute"), 8},    {QStringLiteral("temporaryPassword"), 4},
        {QStringLiteral("jointProcessing"), 4},
    };
    return minimum.value(operation, -1);
}

qsizetype characterCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

} // namespace devserver
