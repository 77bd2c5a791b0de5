// What the records compute and how they compare: short scope labels,
// identities, value equality, and their variant form for QML.

#include "jsontree.h"
#include "records/records.h"
#include "records/variant.h"
#include "testenv.h"

#include <QtTest>

using namespace kalvorin;
using namespace kalvorin::test;

namespace {

std::optional<QString> opt(const QVariant& v) {
    return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
}

// A different value of the same JSON type.
QJsonValue perturbed(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::String:
        return v.toString() + QStringLiteral(" ");
    case QJsonValue::Double:
        return v.toInteger() + 1;
    case QJsonValue::Bool:
        return !v.toBool();
    default:
        return v;
    }
}

} // namespace

class TestRecordValues : public QObject {
    Q_OBJECT

private slots:
    void compactScopeLabel_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("label");
        QTest::newRow("solidus then U+203A with spaces")
            << QStringLiteral("الإدارة العامة/إدارة الشبكات › قسم البنية التحتية")
            << QStringLiteral("قسم البنية التحتية");
        QTest::newRow("solidus with spaces") << QStringLiteral("أ / ب / ج") << QStringLiteral("ج");
        QTest::newRow("U+00BB") << QStringLiteral("إدارة المشاريع » قسم التخطيط")
                                << QStringLiteral("قسم التخطيط");
        QTest::newRow("greater-than") << QStringLiteral("أ>ب > ج") << QStringLiteral("ج");
        QTest::newRow("all four mixed") << QStringLiteral("أ/ب›ج»د>هـ") << QStringLiteral("هـ");
        QTest::newRow("trailing separator")
            << QStringLiteral("إدارة الشبكات / قسم البنية التحتية /") << QStringLiteral("قسم البنية التحتية");
        QTest::newRow("trailing separators and spaces")
            << QStringLiteral("أ › ب » / ") << QStringLiteral("ب");
        QTest::newRow("leading separator") << QStringLiteral("/ أ") << QStringLiteral("أ");
        QTest::newRow("doubled separator") << QStringLiteral("أ//ب") << QStringLiteral("ب");
        QTest::newRow("only separators and spaces")
            << QStringLiteral("  / › » >  ") << QStringLiteral("/ › » >");
        QTest::newRow("one separator") << QStringLiteral("/") << QStringLiteral("/");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("blank") << QStringLiteral("   \t ") << QString();
        QTest::newRow("only line breaks") << QStringLiteral("\n\r\n") << QString();
        QTest::newRow("line breaks trimmed")
            << QStringLiteral("\nإدارة المشاريع /\n قسم التخطيط\n") << QStringLiteral("قسم التخطيط");
        QTest::newRow("single level")
            << QStringLiteral("  قسم الدعم الفني  ") << QStringLiteral("قسم الدعم الفني");
        QTest::newRow("spaces inside a level kept")
            << QStringLiteral("أ / قسم   الدعم") << QStringLiteral("قسم   الدعم");
        QTest::newRow("hyphen is no separator") << QStringLiteral("أ - ب") << QStringLiteral("أ - ب");
        QTest::newRow("backslash is no separator") << QStringLiteral("أ\\ب") << QStringLiteral("أ\\ب");
        QTest::newRow("U+2039 is no separator") << QStringLiteral("أ ‹ ب") << QStringLiteral("أ ‹ ب");
        QTest::newRow("U+00AB is no separator, U+00BB is") << QStringLiteral("«أ» ب") << QStringLiteral("ب");
    }

    void compactScopeLabel() {
        QFETCH(QString, path);
        QFETCH(QString, label);
        QCOMPARE(kalvorin::compactScopeLabel(path), label);
    }

    void compactLabel_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QVariant>("name"); // invalid: absent
        QTest::addColumn<QVariant>("path");
        QTest::addColumn<QString>("label");
        const QVariant none;
        QTest::newRow("name") << "SC-1" << QVariant("قسم الشبكات") << QVariant("أ / ب") << "قسم الشبكات";
        QTest::newRow("name trimmed") << "SC-1" << QVariant("\n  قسم الشبكات \t") << none << "قسم الشبكات";
        QTest::newRow("name not shortened") << "SC-1" << QVariant("أ / ب") << QVariant("ج / د") << "أ / ب";
        QTest::newRow("name only spaces, path of three levels")
            << "SC-1" << QVariant("   ") << QVariant("الإدارة العامة / إدارة الشبكات / قسم البنية التحتية")
            << "قسم البنية التحتية";
        QTest::newRow("name absent, path") << "SC-1" << none << QVariant(" أ › ب ") << "ب";
        QTest::newRow("name line break, path") << "SC-1" << QVariant("\n") << QVariant("أ » ب") << "ب";
        QTest::newRow("path of separators only") << "SC-1" << none << QVariant(" / / ") << "/ /";
        QTest::newRow("neither") << "SC-9" << none << none << "SC-9";
        QTest::newRow("both blank") << "SC-9" << QVariant(" ") << QVariant("\n ") << "SC-9";
        QTest::newRow("both empty") << "SC-9" << QVariant("") << QVariant("") << "SC-9";
    }

    void compactLabel() {
        QFETCH(QString, id);
        QFETCH(QVariant, name);
        QFETCH(QVariant, path);
        QFETCH(QString, label);
        AssignmentScope scope;
        scope.id = id;
        scope.name = opt(name);
        scope.path = opt(path);
        QCOMPARE(scope.compactLabel(), label);
    }

    void participantIdentity_data() {
        QTest::addColumn<QVariant>("name");
        QTest::addColumn<QVariant>("role");
        QTest::addColumn<QVariant>("username");
        QTest::addColumn<QString>("identity");
        const QVariant none;
        QTest::newRow("all absent") << none << none << none << "--";
        QTest::newRow("only username") << none << none << QVariant("u") << "--u";
        QTest::newRow("only name") << QVariant("سلطان") << none << none << "سلطان--";
        QTest::newRow("only role") << none << QVariant("مشارك") << none << "-مشارك-";
        QTest::newRow("all") << QVariant("سلطان العنزي") << QVariant("معالج مشارك") << QVariant("s.alanazi")
                             << "سلطان العنزي-معالج مشارك-s.alanazi";
        QTest::newRow("empty texts") << QVariant("") << QVariant("") << QVariant("") << "--";
    }

    void participantIdentity() {
        QFETCH(QVariant, name);
        QFETCH(QVariant, role);
        QFETCH(QVariant, username);
        QFETCH(QString, identity);
        Participant p;
        p.name = opt(name);
        p.role = opt(role);
        p.username = opt(username);
        QCOMPARE(p.identity(), identity);
    }

    // The identities the lists key their rows by.
    void identities() {
        const Result<TicketResponse> r = json::decode<TicketResponse>(bodyOf(loadFixture("ticket.json")));
        QVERIFY2(r, qPrintable(r.description()));
        const TicketDetail& t = *r->ticket;
        QCOMPARE(t.identity(), QStringLiteral("MNT-2024-00917"));
        QCOMPARE(t.actions->at(1).identity(), QStringLiteral("ticket.route-محمد القحطاني-2024-05-14 08:20"));
        QCOMPARE(t.workflow->at(2).identity(), QStringLiteral("المعالجة"));
        QCOMPARE(t.attachments->at(1).identity(), qint64(5524));
        QCOMPARE(t.participantScopes->at(0).identity(), QStringLiteral("SC-305"));
        QCOMPARE(t.participants->at(0).identity(), QStringLiteral("سلطان العنزي-معالج مشارك-s.alanazi"));

        // Two participants with the same three fields are one participant.
        const QJsonObject twin{{"name", "سلطان العنزي"}, {"role", "معالج مشارك"}, {"username", "s.alanazi"}};
        QCOMPARE(json::fromJson<Participant>(twin)->identity(), t.participants->at(0).identity());

        const Result<TicketsResponse> list =
            json::decode<TicketsResponse>(bodyOf(loadFixture("tickets.json")));
        QVERIFY(list);
        QCOMPARE(list->tickets.at(2).identity(), QStringLiteral("MNT-2024-00899"));
        const Result<NotificationsResponse> n =
            json::decode<NotificationsResponse>(bodyOf(loadFixture("notifications.json")));
        QVERIFY(n);
        QCOMPARE(n->notifications.at(1).identity(), qint64(9030));
        const Result<ReferenceDataResponse> refs =
            json::decode<ReferenceDataResponse>(bodyOf(loadFixture("reference.json")));
        QVERIFY(refs);
        QCOMPARE(refs->services->at(1).identity(), qint64(27));
        QCOMPARE(refs->handlersByScope->value("SC-101").at(0).identity(), QStringLiteral("k.alshehri"));
    }

    void valueEquality_data() {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("path");
        for (const QString fixture : {"ticket.json", "tickets.json", "reference.json", "lookup.json"})
            for (const Node& node : nodes(loadFixture(fixture)))
                if (!node.value.isArray() && !node.value.isObject())
                    QTest::addRow("%s %s", qPrintable(fixture), qPrintable(pathText(node.path)))
                        << fixture << pathText(node.path);
    }

    // Records compare by value over every field, not by identity: changing any
    // single leaf makes the answers differ, while an untouched copy is equal.
    void valueEquality() {
        QFETCH(QString, fixture);
        QFETCH(QString, path);
        const QJsonObject original = loadFixture(fixture);
        const Path where = parsePath(path);
        const QJsonValue other = changed(original, where, perturbed(valueAt(original, where)));
        QVERIFY(other != QJsonValue(original));
        auto compare = [&]<class T>(T*) {
            const Result<T> a = json::fromJson<T>(original);
            const Result<T> b = json::fromJson<T>(other.toObject());
            const Result<T> c = json::fromJson<T>(original);
            QVERIFY(a && b && c);
            QVERIFY(a.value() == c.value());
            QVERIFY(!(a.value() == b.value()));
        };
        if (fixture == "ticket.json")
            compare(static_cast<TicketResponse*>(nullptr));
        else if (fixture == "tickets.json")
            compare(static_cast<TicketsResponse*>(nullptr));
        else if (fixture == "reference.json")
            compare(static_cast<ReferenceDataResponse*>(nullptr));
        else
            compare(static_cast<LookupPersonResponse*>(nullptr));
    }

    // The variant form QML reads: absent values are left out entirely (QML
    // sees undefined, not an empty text or 0), integers stay 64-bit integers.
    void variantForm() {
        TicketSummary row;
        row.maintenanceNo = QStringLiteral("MNT-1");
        row.attachmentCount = 0;
        row.sla = TicketSLA{};
        row.sla->remaining = -45;
        row.sla->breached = false;
        const QVariantMap map = toVariant(row).toMap();
        QCOMPARE(map.keys(), QStringList({"attachmentCount", "maintenanceNo", "sla"}));
        QCOMPARE(map.value("attachmentCount").typeId(), QMetaType::LongLong);
        QCOMPARE(map.value("attachmentCount").toLongLong(), 0);
        const QVariantMap sla = map.value("sla").toMap();
        QCOMPARE(sla.keys(), QStringList({"breached", "remaining"}));
        QCOMPARE(sla.value("remaining").typeId(), QMetaType::LongLong);
        QCOMPARE(sla.value("breached").typeId(), QMetaType::Bool);
        QCOMPARE(sla.value("breached").toBool(), false);

        // An empty text is a value, unlike an absent one.
        MobileUser user;
        user.name = QString();
        user.role = QStringLiteral("");
        QCOMPARE(toVariant(user).toMap().keys(), QStringList({"name", "role"}));

        // Maps keep their member names; lists their order.
        DashboardResponse dash;
        dash.priorityDistribution = QMap<QString, qint64>{{QStringLiteral("حرجة"), 3}};
        dash.latest = QList<TicketSummary>{row, row};
        const QVariantMap d = toVariant(dash).toMap();
        QCOMPARE(d.value("ok").typeId(), QMetaType::Bool);
        QCOMPARE(d.value("priorityDistribution").toMap().value(QStringLiteral("حرجة")).typeId(),
                 QMetaType::LongLong);
        QCOMPARE(d.value("latest").toList().size(), 2);
        QVERIFY(!d.contains("summary"));
        QVERIFY(!d.contains("user"));
    }

    // Rules that QML calls with these maps read them back into the very records.
    void variantRoundTrip() {
        auto roundTrip = [&]<class T>(T*, const char* fixture) {
            const Result<T> record = json::fromJson<T>(loadFixture(QString::fromLatin1(fixture)));
            QVERIFY2(record.ok(), fixture);
            QVERIFY2(fromVariant<T>(toVariant(record.value())) == record.value(), fixture);
        };
        roundTrip(static_cast<StatusResponse*>(nullptr), "status.json");
        roundTrip(static_cast<LoginResponse*>(nullptr), "login.json");
        roundTrip(static_cast<DashboardResponse*>(nullptr), "dashboard.json");
        roundTrip(static_cast<TicketsResponse*>(nullptr), "tickets.json");
        roundTrip(static_cast<TicketResponse*>(nullptr), "ticket.json");
        roundTrip(static_cast<ReferenceDataResponse*>(nullptr), "reference.json");
        roundTrip(static_cast<NotificationsResponse*>(nullptr), "notifications.json");
        roundTrip(static_cast<LookupPersonResponse*>(nullptr), "lookup.json");
        roundTrip(static_cast<CreateTicketResponse*>(nullptr), "createticket.json");

        MobileUser emptyName;
        emptyName.name = QString();
        QCOMPARE(fromVariant<std::optional<MobileUser>>(toVariant(std::optional<MobileUser>(emptyName))),
                 std::optional<MobileUser>(emptyName));
        QCOMPARE(fromVariant<std::optional<MobileUser>>(QVariant()), std::optional<MobileUser>());
    }
};

KALVORIN_TEST_MAIN(TestRecordValues)
#include "test_recordvalues.moc"
