// The new-ticket screen loaded offscreen by its URL, as the shell loads it: what is typed reaches
// the form cleaned, and a reporter level without options is a text field until typing ends.

#include "appwindow.h"
#include "createticketform.h"
#include "frameui.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "statefixture.h"
#include "testenv.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QtTest>
#include <qcorotask.h>

using namespace kalvorin;
using kalvorin::test::TestServer;

class CreateScreenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    std::unique_ptr<MobileAppState> state;
    std::unique_ptr<QQuickView> view;
    create::CreateTicketForm* form = nullptr;

    QQuickItem* find(const char* name) const {
        return kalvorin::ui::findItem(view->contentItem(), QLatin1String(name));
    }
    // Scrolls the form to the item, then taps it as a finger does.
    void tap(QQuickItem* item) {
        QVERIFY(item);
        auto* page = qvariant_cast<QQuickItem*>(view->rootObject()->property("page"));
        if (page) {
            const QPointF at = item->mapToItem(page, QPointF(0, 0));
            if (at.y() < 0 || at.y() + item->height() > page->height())
                page->setProperty("contentY", page->property("contentY").toReal() + at.y() - 100);
        }
        QVERIFY2(kalvorin::test::tap(view.get(), item),
                 "a tap cannot reach the item (see the warning above)");
    }
    void focusAndType(const char* field, const QString& text) {
        QQuickItem* item = find(field);
        QVERIFY(item);
        auto* input = qvariant_cast<QQuickItem*>(item->property("input"));
        tap(input);
        QTRY_VERIFY(input->hasActiveFocus());
        kalvorin::test::typeInto(view.get(), text);
    }
    // Opens the drop-down of a ChoicePicker by a tap and taps the choice with that label.
    void choose(const char* picker, const QString& label) {
        QQuickItem* card = find(picker);
        QVERIFY(card);
        auto* menu = qvariant_cast<QQuickItem*>(card->property("menu"));
        const int index = int(card->property("choices").toStringList().indexOf(label));
        QVERIFY2(index >= 0, qPrintable(label));
        tap(menu);
        const QString name = QStringLiteral("pickerChoice%1").arg(index);
        QTRY_VERIFY(kalvorin::test::findVisible(view->contentItem(), name));
        tap(kalvorin::test::findVisible(view->contentItem(), name));
        QTRY_VERIFY(!kalvorin::test::findVisible(view->contentItem(), name));
    }
    QString shown(const char* picker) const {
        auto* menu = qvariant_cast<QQuickItem*>(find(picker)->property("menu"));
        return menu->property("displayText").toString();
    }

private slots:
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state));
        kalvorin::ui::installAppState(state.get());
        view = std::make_unique<QQuickView>();
        kalvorin::ui::addImportPaths(*view->engine());
        view->setSource(QUrl(QStringLiteral("qrc:/qt/qml/Kalvorin/Create/CreateTicketScreen.qml")));
        QVERIFY2(view->status() == QQuickView::Ready, qPrintable(view->errors().value(0).toString()));
        view->setResizeMode(QQuickView::SizeRootObjectToView);
        view->resize(390, 844);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        form = qvariant_cast<create::CreateTicketForm*>(view->rootObject()->property("form"));
        QVERIFY(form);
    }
    void cleanup() {
        view.reset();
        state.reset();
        server.reset();
    }

    void typedDigitsReachTheForm() {
        QCOMPARE(find("headerTitle")->property("text").toString(), QStringLiteral("بلاغ جديد"));
        focusAndType("contactMobileField", QStringLiteral("٠٥٥ 12x"));
        QCOMPARE(form->contactMobile(), QStringLiteral("05512"));
        QCOMPARE(find("contactMobileField")->property("text").toString(), QStringLiteral("05512"));
        QVERIFY(!find("saveButton")->isEnabled());
    }

    void freeTextLevelBecomesAPickerWhenTypingEnds() {
        QQuickItem* field = find("reporterField1");
        QQuickItem* picker = find("reporterPicker1");
        QVERIFY(field && picker);
        QVERIFY(field->isVisible() && !picker->isVisible()); // no reference data: free text
        focusAndType("reporterField1", QStringLiteral("قطاع أ"));
        QCOMPARE(form->reporterDepartment(), QStringLiteral("قطاع أ"));
        QVERIFY(field->isVisible()); // still typing
        focusAndType("titleField", QStringLiteral("t"));
        QTRY_VERIFY(picker->isVisible() && !field->isVisible());
        QCOMPARE(picker->property("choices").toStringList(),
                 (QStringList{QStringLiteral("اختر الوحدة التنظيمية"), QStringLiteral("قطاع أ")}));
        // The drop-down shows the typed text it now holds, not its empty choice.
        QCOMPARE(shown("reporterPicker1"), QStringLiteral("قطاع أ"));
    }

    // A drop-down resets its own index whenever its list changes; the box still shows what the
    // form holds when a department change keeps the region (same place in a new list).
    void aKeptRegionStaysShownAfterADepartmentChange() {
        server->setReply(
            "reference_data", 200,
            R"({"ok":true,"reporterOptions":{"departments":["قطاع أ","قطاع ب"],"adminsByDepartment":{)"
            R"("قطاع أ":["إدارة منطقة الرياض","إدارة منطقة جدة"],"قطاع ب":["إدارة منطقة الرياض","إدارة منطقة جدة"]}}})");
        QCoro::waitFor(state->loadReferences());
        QTRY_VERIFY(find("reporterPicker1")->isVisible());
        choose("reporterPicker1", QStringLiteral("قطاع أ"));
        choose("reporterPicker2", QStringLiteral("إدارة منطقة الرياض"));
        choose("reporterPicker1", QStringLiteral("قطاع ب"));
        QCOMPARE(form->reporterRegion(), QStringLiteral("إدارة منطقة الرياض"));
        QCOMPARE(shown("reporterPicker1"), QStringLiteral("قطاع ب"));
        QCOMPARE(shown("reporterPicker2"), QStringLiteral("إدارة منطقة الرياض"));
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    kalvorin::test::prepareEnvironment();
    kalvorin::ui::prepareApplication(app);
    CreateScreenTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_createscreen.moc"
