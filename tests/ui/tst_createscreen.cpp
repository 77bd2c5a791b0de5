// The new-ticket screen loaded offscreen by its URL, as the shell loads it: what is typed reaches
// the form cleaned, and a reporter level without options is a text field until typing ends.

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
    void focusAndType(const char* field, const QString& text) {
        QQuickItem* item = find(field);
        QVERIFY(item);
        auto* input = qvariant_cast<QQuickItem*>(item->property("input"));
        QVERIFY(input);
        input->forceActiveFocus();
        QTRY_VERIFY(input->hasActiveFocus());
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, view.get(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

private slots:
    void init() {
        QVERIFY(kalvorin::test::startStateWithServer(server, state));
        kalvorin::ui::installAppState(state.get());
        view = std::make_unique<QQuickView>();
        kalvorin::ui::addImportPaths(*view->engine());
        view->setSource(QUrl(QStringLiteral("qrc:/qt/qml/Kalvorin/Create/CreateTicketScreen.qml")));
        QVERIFY2(view->status() == QQuickView::Ready, qPrintable(view->errors().value(0).toString()));
        view->contentItem()->setProperty("LayoutMirroring.enabled", true);
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
        focusAndType("reporterField1", QStringLiteral("abc"));
        QCOMPARE(form->reporterDepartment(), QStringLiteral("abc"));
        QVERIFY(field->isVisible()); // still typing
        focusAndType("titleField", QStringLiteral("t"));
        QTRY_VERIFY(picker->isVisible() && !field->isVisible());
        QCOMPARE(picker->property("choices").toStringList(),
                 (QStringList{QStringLiteral("اختر الوحدة التنظيمية"), QStringLiteral("abc")}));
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
