#include "ticketrows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace kalvorin::test {

QByteArray ticketsAnswer(int count) {
    const QStringList titles = {
        QStringLiteral("انقطاع الشبكة في مبنى الإدارة الرئيسي"),
        QStringLiteral("طابعة قسم الموارد البشرية لا تعمل"),
        QStringLiteral("بطء شديد في نظام الأرشفة الإلكترونية"),
        QStringLiteral("طلب تركيب جهاز حاسب لموظف جديد"),
        QStringLiteral("تعطل جهاز العرض في قاعة الاجتماعات"),
    };
    const QStringList states = {QStringLiteral("جديد"), QStringLiteral("محال"),
                                QStringLiteral("قيد المعالجة"), QStringLiteral("مغلق")};
    const QStringList priorities = {QStringLiteral("حرجة"), QStringLiteral("عالية"), QStringLiteral("متوسطة"),
                                    QStringLiteral("منخفضة")};
    const QStringList scopes = {QStringLiteral("إدارة الشبكات / قسم البنية التحتية"),
                                QStringLiteral("إدارة الدعم الفني › قسم صيانة الأجهزة"),
                                QStringLiteral("إدارة التطبيقات / قسم الأنظمة الإدارية")};
    const QStringList handlers = {QStringLiteral("خالد بن محمد الشهري"),
                                  QStringLiteral("فهد عبدالعزيز الدوسري"),
                                  QStringLiteral("ريم سعود الزهراني")};
    const QStringList beneficiaries = {
        QStringLiteral("نورة بنت عبدالرحمن العتيبي"), QStringLiteral("إبراهيم بن ناصر السبيعي"),
        QStringLiteral("هيفاء بنت سلمان الغامدي"), QStringLiteral("سارة المطيري")};

    QJsonArray rows;
    for (int i = 0; i < count; ++i) {
        const int day = 1 + i % 28;
        rows.append(QJsonObject{
            {"maintenanceNo", QStringLiteral("MNT-2024-%1").arg(100000 + i)},
            {"title", titles.at(i % titles.size())},
            {"state", states.at(i % states.size())},
            {"priority", priorities.at(i % priorities.size())},
            {"priorityCode", QStringLiteral("P%1").arg(1 + i % 4)},
            {"scope", scopes.at(i % scopes.size())},
            {"assignedScopeId", QStringLiteral("SC-%1").arg(100 + i % 37)},
            {"assignedScopeName", scopes.at((i + 1) % scopes.size())},
            {"assignedHandlerUser", QStringLiteral("handler.%1").arg(i % 53)},
            {"assignedHandlerName", handlers.at(i % handlers.size())},
            {"beneficiaryName", beneficiaries.at(i % beneficiaries.size())},
            {"createdAt",
             QStringLiteral("2024-05-%1 08:%2").arg(day, 2, 10, QChar(u'0')).arg(i % 60, 2, 10, QChar(u'0'))},
            {"updatedAt",
             QStringLiteral("2024-05-%1 14:%2").arg(day, 2, 10, QChar(u'0')).arg(i % 60, 2, 10, QChar(u'0'))},
            {"attachmentCount", i % 6},
            {"sla", QJsonObject{{"percent", i % 130},
                                {"remaining", 2880 - (i * 7) % 3000},
                                {"breached", i % 130 >= 100},
                                {"near", i % 130 >= 80 && i % 130 < 100}}},
        });
    }
    return QJsonDocument(QJsonObject{{"ok", true}, {"tickets", rows}}).toJson(QJsonDocument::Compact);
}

} // namespace kalvorin::test
