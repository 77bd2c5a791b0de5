// The ticket detail's rules without a window or a server: the cards' values with their
// placeholders and fallback chains, the ring, the chain's labels, the action list and its rows,
// the attachments' lines, the action sheet's pickers and enabling rule, and the rows model.

#include "detailrules.h"
#include "kalvorintheme.h"
#include "mobileappstate.h"
#include "recordingnotificationcenter.h"
#include "rowsmodel.h"
#include "testenv.h"
#include "ticketactionform.h"
#include "ticketdetailview.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace kalvorin;
using kalvorin::test::withIsolates;

namespace {

TicketDetail ticketFrom(const QByteArray& members) {
    const QByteArray json = "{\"maintenanceNo\":\"MNT-1\"" + (members.isEmpty() ? "" : "," + members) + "}";
    const Result<TicketDetail> ticket = json::decode<TicketDetail>(json);
    if (!ticket)
        qFatal("fixture does not decode: %s", qPrintable(ticket.description()));
    return ticket.value();
}

// A model's values of one role, joined by "|".
QString column(const RowsModel* model, const QByteArray& role) {
    QStringList out;
    for (int i = 0; i < model->count(); ++i)
        out << model->value(i, role).toString();
    return out.join(u'|');
}

std::unique_ptr<MobileAppState> stateWithReferences() {
    auto state = std::make_unique<MobileAppState>(nullptr, new kalvorin::test::RecordingNotificationCenter);
    state->notificationCenter()->setParent(state.get());
    state->setReferences(json::decode<ReferenceDataResponse>(R"({"ok":true,
        "routeReasons":["اختصاص جهة أخرى","طلب المستفيد"], "rejectReasons":["بلاغ مكرر"],
        "assignmentScopes":[{"id":"S1","name":"الشبكات","path":"تقنية / الشبكات"},{"id":"S2","path":"أ › الأرشيف"}],
        "handlersByScope":{"S1":[{"username":"net.a","name":"أحمد"},{"username":"net.b"}],"S2":[{"username":"rec"}]}})")
                             .value());
    state->setParticipantScopes("MNT-1",
                                {AssignmentScope{"P9", {}, {}, {}, QStringLiteral("ج / د › المشتركة")}});
    return state;
}

} // namespace

class DetailRulesTest : public QObject {
    Q_OBJECT

private slots:
    // ---- the cards' chips: placeholders, fallback chains, normalising ----------------------

    void chipValues_data() {
        QTest::addColumn<QByteArray>("members");
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::newRow("service falls back to title")
            << QByteArray(R"("title":"طابعة")") << "header" << 2 << "طابعة";
        QTest::newRow("service over title")
            << QByteArray(R"("title":"طابعة","serviceName":"دعم")") << "header" << 2 << "دعم";
        QTest::newRow("no service, no title") << QByteArray() << "header" << 2 << "غير محدد";
        QTest::newRow("blank value") << QByteArray(R"("state":" \n\t ")") << "header" << 0 << "غير محدد";
        QTest::newRow("value trimmed") << QByteArray(R"("state":"  جديد\n")") << "header" << 0 << "جديد";
        QTest::newRow("office stands in") << QByteArray(R"("office":"مكتب")") << "beneficiary" << 7 << "مكتب";
        QTest::newRow("reception office first")
            << QByteArray(R"("office":"مكتب","ticketOfficeName":"الاستقبال")") << "beneficiary" << 7
            << "الاستقبال";
        QTest::newRow("no scope") << QByteArray() << "treatment" << 0 << "غير مسند";
        QTest::newRow("scope text") << QByteArray(R"("scope":"أ / ب")") << "treatment" << 0 << "أ / ب";
        QTest::newRow("assigned scope first")
            << QByteArray(R"("scope":"أ","assignedScopeName":"ب")") << "treatment" << 0 << "ب";
        QTest::newRow("no handler") << QByteArray() << "treatment" << 1 << "لم يسند";
        QTest::newRow("handler user last")
            << QByteArray(R"("assignedHandlerUser":"u1")") << "treatment" << 1 << "u1";
        QTest::newRow("handler name over user")
            << QByteArray(R"("assignedHandlerUser":"u1","assignedHandlerName":"سعد")") << "treatment" << 1
            << "سعد";
        QTest::newRow("handler text first")
            << QByteArray(R"("assignedHandlerName":"سعد","handler":"فريق")") << "treatment" << 1 << "فريق";
        QTest::newRow("no channel") << QByteArray() << "treatment" << 2 << "غير محدد";
    }
    void chipValues() {
        QFETCH(QByteArray, members);
        QFETCH(QString, card);
        QFETCH(int, index);
        QFETCH(QString, value);
        TicketDetailView view;
        view.setTicket(ticketFrom(members));
        RowsModel* items = card == "header"        ? view.headerItems()
                           : card == "beneficiary" ? view.beneficiaryItems()
                                                   : view.treatmentItems();
        QCOMPARE(items->value(index, "value").toString(), value);
    }

    void headerTint_data() {
        QTest::addColumn<QByteArray>("members");
        QTest::addColumn<QColor>("tint");
        QTest::addColumn<QString>("title");
        QTest::newRow("critical") << QByteArray(R"("priority":"حرجة")") << KalvorinTheme::red()
                                  << "بلاغ دعم فني";
        QTest::newRow("very critical")
            << QByteArray(R"("priority":"حرجة جداً","title":"ت")") << KalvorinTheme::red() << "ت";
        QTest::newRow("high") << QByteArray(R"("priority":"عالية")") << KalvorinTheme::teal()
                              << "بلاغ دعم فني";
        QTest::newRow("no priority") << QByteArray() << KalvorinTheme::teal() << "بلاغ دعم فني";
    }
    void headerTint() {
        QFETCH(QByteArray, members);
        QFETCH(QColor, tint);
        QFETCH(QString, title);
        TicketDetailView view;
        view.setTicket(ticketFrom(members));
        QCOMPARE(view.headerTint(), tint);
        QCOMPARE(view.title(), title);
    }

    // ---- service-level ring ---------------------------------------------------------------

    void slaRing_data() {
        QTest::addColumn<QByteArray>("members");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QColor>("color");
        const QColor green = KalvorinTheme::green(), red = KalvorinTheme::red();
        QTest::newRow("no sla") << QByteArray() << "0%" << 0.0 << "الوقت المتبقي: <0> د" << green;
        QTest::newRow("over full") << QByteArray(R"("sla":{"percent":130})") << "130%" << 1.0
                                   << "الوقت المتبقي: <0> د" << green;
        QTest::newRow("zero") << QByteArray(R"("sla":{"percent":0,"remaining":5})") << "0%" << 0.0
                              << "الوقت المتبقي: <5> د" << green;
        QTest::newRow("negative") << QByteArray(R"("sla":{"percent":-4,"remaining":-12})") << "-4%" << 0.0
                                  << "الوقت المتبقي: <-12> د" << green;
        QTest::newRow("partly used") << QByteArray(R"("sla":{"percent":64,"remaining":95,"near":true})")
                                     << "64%" << 0.64 << "الوقت المتبقي: <95> د" << green;
        QTest::newRow("breached") << QByteArray(R"("sla":{"percent":100,"remaining":45,"breached":true})")
                                  << "100%" << 1.0 << "متجاوز مستوى الخدمة" << red;
    }
    void slaRing() {
        QFETCH(QByteArray, members);
        QFETCH(QString, percent);
        QFETCH(double, fraction);
        QFETCH(QString, status);
        QFETCH(QColor, color);
        TicketDetailView view;
        view.setTicket(ticketFrom(members));
        QCOMPARE(view.slaPercentText(), percent);
        QCOMPARE(view.slaFraction(), fraction);
        QCOMPARE(view.slaStatusText(), withIsolates(status));
        QCOMPARE(view.slaStatusColor(), color);
    }

    // ---- processing chain -----------------------------------------------------------------

    void chainLabels_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("label");
        QTest::newRow("full creation") << "government_ticket_created_full"
                                       << "فتح البلاغ";
        QTest::newRow("mobile creation") << "ticket.mobile.created"
                                         << "فتح البلاغ";
        QTest::newRow("comment") << "ticket.comment"
                                 << "تعليق";
        QTest::newRow("close") << "ticket.close"
                               << "إغلاق البلاغ";
        QTest::newRow("reject") << "ticket.reject"
                                << "رفض البلاغ";
        QTest::newRow("participant") << "ticket.participant.added"
                                     << "إضافة جهة معالجة مشتركة";
        QTest::newRow("temporary password") << "ticket.temp_password.sent"
                                            << "إرسال كلمة مرور مؤقتة";
        QTest::newRow("manager route") << "ticket.escalation_approval.requested"
                                       << "طلب إحالة للإدارة";
        QTest::newRow("unknown key") << "ticket.route"
                                     << "ticket.route";
        QTest::newRow("case matters") << "TICKET.CLOSE"
                                      << "TICKET.CLOSE";
    }
    void chainLabels() {
        QFETCH(QString, key);
        QFETCH(QString, label);
        QCOMPARE(detail::chainLabel(key), label);
    }

    void chainCard_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QByteArray>("participants");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("names");
        QTest::newRow("nothing") << 0 << QByteArray() << 0 << true << "";
        QTest::newRow("nine entries show six") << 9 << QByteArray() << 6 << false << "";
        QTest::newRow("participant alone")
            << 0 << QByteArray(R"({"username":"u","role":"مراجع"})") << 0 << false << "مراجع:u";
        QTest::newRow("participant fallbacks") << 1 << QByteArray(R"({"name":"قسم","username":"u"},{})") << 1
                                               << false << "جهة مشاركة:قسم|جهة مشاركة:جهة معالجة مشتركة";
    }
    void chainCard() {
        QFETCH(int, entries);
        QFETCH(QByteArray, participants);
        QFETCH(int, rows);
        QFETCH(bool, empty);
        QFETCH(QString, names);
        QByteArray log;
        for (int i = 0; i < entries; ++i)
            log += (i ? "," : "") + QByteArray(R"({"key":"ticket.comment","actor":"علي","createdAt":"10:0)") +
                   QByteArray::number(i) + "\"}";
        TicketDetailView view;
        view.setTicket(ticketFrom("\"actions\":[" + log + "],\"participants\":[" + participants + "]"));
        QCOMPARE(view.chainEntries()->count(), rows);
        QCOMPARE(view.chainEmpty(), empty);
        QStringList shown;
        for (int i = 0; i < view.participantRows()->count(); ++i)
            shown << view.participantRows()->value(i, "role").toString() + u':' +
                         view.participantRows()->value(i, "name").toString();
        QCOMPARE(shown.join(u'|'), names);
        if (rows > 0)
            QCOMPARE(view.chainEntries()->value(0, "detail").toString(), withIsolates("علي · {10:00}"));
    }

    // ---- the action buttons: fixed order, flags, rows of two ---------------------------------

    void actionRows_data() {
        QTest::addColumn<QByteArray>("members");
        QTest::addColumn<QString>("rows"); // rows by "|", the two kinds of a row by "+"
        QTest::newRow("no flags record") << QByteArray() << "comment+";
        QTest::newRow("all false or absent")
            << QByteArray(R"("availableActions":{"comment":false,"close":false})") << "";
        QTest::newRow("empty record") << QByteArray(R"("availableActions":{})") << "";
        QTest::newRow("signature chain only")
            << QByteArray(R"("availableActions":{"signatureChain":true})") << "";
        QTest::newRow("three: two, then one at half width")
            << QByteArray(R"("availableActions":{"comment":true,"route":true,"close":true})")
            << "close+route|comment+";
        QTest::newRow("all, in the fixed order")
            << QByteArray(R"("availableActions":{"temporaryPassword":true,"managerRoute":true,
                 "jointProcessing":true,"reject":true,"comment":true,"route":true,"close":true})")
            << "close+route|comment+reject|jointProcessing+managerRoute|temporaryPassword+";
    }
    void actionRows() {
        QFETCH(QByteArray, members);
        QFETCH(QString, rows);
        TicketDetailView view;
        view.setTicket(ticketFrom(members));
        QStringList shown;
        for (int i = 0; i < view.actionRows()->count(); ++i)
            shown << view.actionRows()->value(i, "firstKind").toString() + u'+' +
                         view.actionRows()->value(i, "secondKind").toString();
        QCOMPARE(shown.join(u'|'), rows);
    }

    // ---- attachments ------------------------------------------------------------------------

    void attachmentsHeader_data() {
        QTest::addColumn<QByteArray>("members");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("upload");
        QTest::addColumn<QColor>("tint");
        QTest::newRow("count above the list")
            << QByteArray(
                   R"("attachmentCount":5,"attachments":[{"id":1},{"id":2}],"availableActions":{"close":true})")
            << "5 مرفقات"
            << "محفوظة على البلاغ" << true << KalvorinTheme::green();
        QTest::newRow("count without list") << QByteArray(R"("attachmentCount":3)") << "3 مرفقات"
                                            << "لا توجد مرفقات" << false << KalvorinTheme::blue();
        QTest::newRow("list above the count")
            << QByteArray(
                   R"("attachmentCount":1,"attachments":[{"id":1},{"id":2}],"availableActions":{"close":false})")
            << "2 مرفقات"
            << "محفوظة على البلاغ" << false << KalvorinTheme::blue();
        QTest::newRow("nothing") << QByteArray(R"("availableActions":{"comment":true})") << "0 مرفقات"
                                 << "لا توجد مرفقات" << false << KalvorinTheme::blue();
    }
    void attachmentsHeader() {
        QFETCH(QByteArray, members);
        QFETCH(QString, title);
        QFETCH(QString, status);
        QFETCH(bool, upload);
        QFETCH(QColor, tint);
        TicketDetailView view;
        view.setTicket(ticketFrom(members));
        QCOMPARE(view.attachmentsTitle(), title);
        QCOMPARE(view.attachmentsStatus(), status);
        QCOMPARE(view.canUploadClosureEvidence(), upload);
        QCOMPARE(view.attachmentsTint(), tint);
    }

    void attachmentRow_data() {
        QTest::addColumn<QByteArray>("attachment");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("closure evidence")
            << QByteArray(
                   R"({"id":1,"name":"محضر.pdf","size":1500,"purpose":"service_acceptance","createdAt":"أمس"})")
            << "محضر.pdf"
            << "إثبات إغلاق · <1 KB> · {أمس}"
            << "checkmark.seal.fill";
        QTest::newRow("just under a kilobyte")
            << QByteArray(R"({"id":1,"size":1023,"purpose":"evidence"})") << "مرفق"
            << "مرفق بلاغ · <0 KB> · "
            << "doc.fill";
        QTest::newRow("purpose in capitals")
            << QByteArray(
                   R"({"id":1,"size":482133,"purpose":"SERVICE_ACCEPTANCE","createdAt":"2026-12-09 13:52"})")
            << "مرفق"
            << "مرفق بلاغ · <470 KB> · {2026-12-09 13:52}"
            << "doc.fill";
        QTest::newRow("no size, no purpose") << QByteArray(R"({"id":1})") << "مرفق"
                                             << "مرفق بلاغ · <0 KB> · "
                                             << "doc.fill";
        QTest::newRow("negative size") << QByteArray(R"({"id":1,"size":-9000})") << "مرفق"
                                       << "مرفق بلاغ · <0 KB> · "
                                       << "doc.fill";
    }
    void attachmentRow() {
        QFETCH(QByteArray, attachment);
        QFETCH(QString, name);
        QFETCH(QString, detail);
        QFETCH(QString, symbol);
        TicketDetailView view;
        view.setTicket(ticketFrom("\"attachments\":[" + attachment + "]"));
        QCOMPARE(view.attachmentRows()->value(0, "name").toString(), name);
        QCOMPARE(view.attachmentRows()->value(0, "detail").toString(), withIsolates(detail));
        QCOMPARE(view.attachmentRows()->value(0, "symbol").toString(), symbol);
    }

    // ---- the action sheet's form --------------------------------------------------------------

    void enabling_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("comment of 7") << "comment"
                                      << "1234567"
                                      << ""
                                      << "" << false;
        QTest::newRow("comment of 8 spaces") << "comment"
                                             << "        "
                                             << ""
                                             << "" << false;
        QTest::newRow("comment of 8 within spaces") << "comment"
                                                    << "  تعليق طويل \n"
                                                    << ""
                                                    << "" << true;
        QTest::newRow("close of 8") << "close"
                                    << "12345678"
                                    << ""
                                    << "" << true;
        QTest::newRow("reject, empty note, a reason") << "reject"
                                                      << ""
                                                      << ""
                                                      << "بلاغ مكرر" << true;
        QTest::newRow("reject without reason") << "reject"
                                               << "سبب واضح جداً"
                                               << ""
                                               << "" << false;
        QTest::newRow("temporary password of 3") << "temporaryPassword"
                                                 << "abc"
                                                 << ""
                                                 << "" << false;
        QTest::newRow("temporary password of 4") << "temporaryPassword"
                                                 << "abcd"
                                                 << ""
                                                 << "" << true;
        QTest::newRow("joint without scope") << "jointProcessing"
                                             << "abcd"
                                             << ""
                                             << "" << false;
        QTest::newRow("joint with scope") << "jointProcessing"
                                          << "abcd"
                                          << "P9"
                                          << "" << true;
        QTest::newRow("route without reason") << "route"
                                              << "12345678"
                                              << "S1"
                                              << "" << false;
        QTest::newRow("route without scope") << "route"
                                             << "12345678"
                                             << ""
                                             << "طلب المستفيد" << false;
        QTest::newRow("route, no handler needed") << "route"
                                                  << "12345678"
                                                  << "S1"
                                                  << "طلب المستفيد" << true;
        QTest::newRow("manager route without reason") << "managerRoute"
                                                      << "12345678"
                                                      << ""
                                                      << "" << false;
        QTest::newRow("manager route") << "managerRoute"
                                       << "12345678"
                                       << ""
                                       << "طلب المستفيد" << true;
        // Characters as a reader counts them: not UTF-16 units (four symbols outside the basic
        // plane are 8 units), nor code points (a letter with its marks is one character).
        QTest::newRow("characters, not units") << "comment"
                                               << "\U0001F600\U0001F600\U0001F600\U0001F600"
                                               << ""
                                               << "" << false;
        QTest::newRow("7 characters in 10 code points") << "comment"
                                                        << "شُكْرًا لك"
                                                        << ""
                                                        << "" << false;
        QTest::newRow("8 characters with marks") << "comment"
                                                 << "شُكْرًا لكم"
                                                 << ""
                                                 << "" << true;
        QTest::newRow("3 characters, a family of 5 code points")
            << "temporaryPassword"
            << "ab\U0001F468\u200D\U0001F469\u200D\U0001F467"
            << ""
            << "" << false;
    }
    void enabling() {
        QFETCH(QString, kind);
        QFETCH(QString, note);
        QFETCH(QString, scope);
        QFETCH(QString, reason);
        QFETCH(bool, enabled);
        TicketActionForm form;
        form.setKind(kind);
        QSignalSpy changes(&form, &TicketActionForm::canSubmitChanged);
        form.setNote(note);
        form.setSelectedScope(scope);
        form.setSelectedReason(reason);
        QCOMPARE(form.canSubmit(), enabled);
        QCOMPARE(changes.size(), enabled ? 1 : 0);
    }

    void pickers_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("scopes");
        QTest::addColumn<QString>("reasons");
        QTest::addColumn<QString>("firstReason");
        QTest::newRow("route") << "route"
                               << "اختر الجهة|الشبكات|الأرشيف"
                               << "اختر السبب|اختصاص جهة أخرى|طلب المستفيد"
                               << "اختصاص جهة أخرى";
        QTest::newRow("joint: this ticket's scopes") << "jointProcessing"
                                                     << "اختر الجهة|المشتركة"
                                                     << "اختر السبب|اختصاص جهة أخرى|طلب المستفيد"
                                                     << "اختصاص جهة أخرى";
        QTest::newRow("reject reasons") << "reject"
                                        << "اختر الجهة"
                                        << "اختر السبب|بلاغ مكرر"
                                        << "بلاغ مكرر";
        QTest::newRow("comment takes a route reason too") << "comment"
                                                          << "اختر الجهة"
                                                          << "اختر السبب|اختصاص جهة أخرى|طلب المستفيد"
                                                          << "اختصاص جهة أخرى";
    }
    void pickers() {
        QFETCH(QString, kind);
        QFETCH(QString, scopes);
        QFETCH(QString, reasons);
        QFETCH(QString, firstReason);
        auto state = stateWithReferences();
        TicketActionForm form;
        form.setAppState(state.get());
        form.setKind(kind);
        form.setTicketNumber("MNT-1");
        QCOMPARE(form.ticketLine(), withIsolates("البلاغ <MNT-1>"));
        QCOMPARE(column(form.scopeOptions(), "label"), scopes);
        QCOMPARE(column(form.reasonOptions(), "label"), reasons);
        form.appear();
        QCOMPARE(form.selectedReason(), firstReason);
        // A reason already chosen stays.
        form.setSelectedReason("x");
        form.appear();
        QCOMPARE(form.selectedReason(), QStringLiteral("x"));
    }

    void handlersFollowTheScope() {
        auto state = stateWithReferences();
        TicketActionForm form;
        form.setAppState(state.get());
        form.setKind("route");
        QCOMPARE(column(form.handlerOptions(), "label"), QStringLiteral("بدون معالج محدد"));
        form.setSelectedScope("S1");
        QCOMPARE(column(form.handlerOptions(), "label"), QStringLiteral("بدون معالج محدد|أحمد|net.b"));
        QCOMPARE(column(form.handlerOptions(), "value"), QStringLiteral("|net.a|net.b"));
        form.setSelectedHandler("net.a");
        form.setSelectedScope("S2");
        QCOMPARE(column(form.handlerOptions(), "label"), QStringLiteral("بدون معالج محدد|rec"));
        QCOMPARE(form.selectedHandler(), QStringLiteral("net.a")); // kept, and sent as it is
        // Without reference data the pickers hold only their placeholders.
        state->setReferences(std::nullopt);
        QCOMPARE(column(form.handlerOptions(), "label"), QStringLiteral("بدون معالج محدد"));
        QCOMPARE(column(form.scopeOptions(), "label"), QStringLiteral("اختر الجهة"));
    }

    // ---- the rows model -----------------------------------------------------------------------

    void rowsModelByIdentity_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("append") << QStringList{"a", "b"} << QStringList{"a", "b", "c"};
        QTest::newRow("drop first") << QStringList{"a", "b", "c"} << QStringList{"b", "c"};
        QTest::newRow("replace middle") << QStringList{"a", "b", "c"} << QStringList{"a", "x", "c"};
        QTest::newRow("reverse") << QStringList{"a", "b", "c"} << QStringList{"c", "b", "a"};
        QTest::newRow("empty") << QStringList{"a"} << QStringList{};
    }
    void rowsModelByIdentity() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        RowsModel model({"name"});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto rows = [](const QStringList& ids, const QString& suffix) {
            QList<RowsModel::Row> out;
            for (const QString& id : ids)
                out.append({id, {id + suffix}});
            return out;
        };
        model.setRows(rows(before, "1"));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.setRows(rows(after, "2"));
        QCOMPARE(model.rows(), rows(after, "2"));
        QCOMPARE(resets.size(), 0);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    DetailRulesTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_detailrules.moc"
