// The palette and faces, the grid's line rule, and every shared component loaded offscreen.

#include "gridpattern.h"
#include "kalvorintheme.h"
#include "kalvorinui.h"

#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QQuickWindow>
#include <QRawFont>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList g_messages;

void collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_messages << text;
}

// Loads `qml` (which imports Kalvorin.Theme) into a mirrored 390-wide window and shows it.
struct Page {
    QQuickView view;
    std::unique_ptr<QQuickItem> root;
    explicit Page(const QByteArray& body, int height = 300) {
        kalvorin::ui::addImportPaths(*view.engine());
        g_messages.clear();
        QQmlComponent component(view.engine());
        component.setData("import QtQuick\nimport QtQuick.Layouts\nimport Kalvorin.Theme\n"
                          "Item { width: 390; height: " +
                              QByteArray::number(height) +
                              "; LayoutMirroring.enabled: true; LayoutMirroring.childrenInherit: true\n" +
                              body + "\n}",
                          QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("Page.qml"))));
        root.reset(qobject_cast<QQuickItem*>(component.create()));
        for (const auto& e : component.errors())
            g_messages << e.toString();
        if (root)
            root->setParentItem(view.contentItem());
        view.resize(390, height);
        view.show();
    }
    QQuickItem* find(const char* name) const {
        return root ? root->findChild<QQuickItem*>(QLatin1String(name)) : nullptr;
    }
};

} // namespace

class ThemeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(kalvorin::ui::loadFonts());
        qInstallMessageHandler(collect);
    }

    void palette_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("expected");
        const auto c = [](double r, double g, double b, double a = 1) {
            return QColor::fromRgbF(r, g, b, a);
        };
        QTest::newRow("ink") << "ink" << c(0.004, 0.026, 0.052);
        QTest::newRow("navy") << "navy" << c(0.012, 0.075, 0.128);
        QTest::newRow("deep") << "deep" << c(0.001, 0.014, 0.033);
        QTest::newRow("panel2") << "panel2" << c(0.022, 0.082, 0.142);
        QTest::newRow("glass") << "glass" << c(0.07, 0.16, 0.235);
        QTest::newRow("stroke") << "stroke" << c(1, 1, 1, 0.135);
        QTest::newRow("teal") << "teal" << c(0.04, 0.7, 0.66);
        QTest::newRow("green") << "green" << c(0.17, 0.78, 0.43);
        QTest::newRow("gold") << "gold" << c(0.9, 0.68, 0.28);
        QTest::newRow("orange") << "orange" << c(0.95, 0.42, 0.08);
        QTest::newRow("red") << "red" << c(0.9, 0.18, 0.2);
        QTest::newRow("blue") << "blue" << c(0.08, 0.37, 0.72);
        QTest::newRow("text") << "text" << c(0.94, 0.98, 1.0);
        QTest::newRow("muted") << "muted" << c(0.64, 0.73, 0.82);
    }
    // The same colour from C++ (static accessor) and from QML (the singleton), equal to the table.
    void palette() {
        QFETCH(QString, name);
        QFETCH(QColor, expected);
        QQmlEngine engine;
        kalvorin::ui::addImportPaths(engine);
        QQmlComponent component(&engine);
        component.setData(
            "import QtQuick\nimport Kalvorin.Theme\nQtObject { property color c: KalvorinTheme." +
                name.toLatin1() + " }",
            QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("Palette.qml"))));
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        const QColor fromQml = object->property("c").value<QColor>();
        KalvorinTheme theme;
        const QMetaObject& meta = KalvorinTheme::staticMetaObject;
        const QColor fromCpp =
            meta.property(meta.indexOfProperty(name.toLatin1())).read(&theme).value<QColor>();
        for (const QColor& actual : {fromQml, fromCpp}) {
            QVERIFY2(qAbs(actual.redF() - expected.redF()) < 1e-4 &&
                         qAbs(actual.greenF() - expected.greenF()) < 1e-4 &&
                         qAbs(actual.blueF() - expected.blueF()) < 1e-4 &&
                         qAbs(actual.alphaF() - expected.alphaF()) < 1e-4,
                     qPrintable(QStringLiteral("%1 is %2").arg(name, actual.name(QColor::HexArgb))));
        }
    }

    void faces_data() {
        QTest::addColumn<QString>("faceName");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QString>("style");
        QTest::newRow("medium") << "Tajawal-Medium" << 500 << "Medium";
        QTest::newRow("bold") << "Tajawal-Bold" << 700 << "Bold";
        QTest::newRow("extra bold") << "Tajawal-ExtraBold" << 800 << "ExtraBold";
    }
    // Each face name picks the bundled file of that weight, not a synthesised bold.
    void faces() {
        QFETCH(QString, faceName);
        QFETCH(int, weight);
        QFETCH(QString, style);
        const QFont font = KalvorinTheme::fontNamed(faceName, 16);
        QCOMPARE(font.weight(), weight);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Tajawal"));
        const QRawFont raw = QRawFont::fromFont(font);
        QVERIFY(raw.isValid());
        QVERIFY2(raw.styleName().remove(QLatin1Char(' ')).contains(style),
                 qPrintable(raw.familyName() + " / " + raw.styleName()));
        QVERIFY(raw.supportsCharacter(QChar(0x0628))); // Arabic letter beh
    }

    void gridLines_data() {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QList<qreal>>("xs");
        QTest::addColumn<QList<qreal>>("ys");
        QTest::newRow("zero size: one degenerate line each way")
            << QRectF(0, 0, 0, 0) << QList<qreal>{0} << QList<qreal>{0};
        QTest::newRow("narrower than a step keeps the origin line")
            << QRectF(5, 7, 30, 20) << QList<qreal>{5} << QList<qreal>{7};
        QTest::newRow("far edge included on a whole number of steps")
            << QRectF(0, 0, 84, 42) << QList<qreal>{0, 42, 84} << QList<qreal>{0, 42};
        QTest::newRow("no line past the far edge")
            << QRectF(0, 0, 125.9, 50) << QList<qreal>{0, 42, 84} << QList<qreal>{0, 42};
        QTest::newRow("steps from the origin, not from zero")
            << QRectF(10, -20, 42, 0) << QList<qreal>{10, 52} << QList<qreal>{-20};
    }
    void gridLines() {
        QFETCH(QRectF, rect);
        QFETCH(QList<qreal>, xs);
        QFETCH(QList<qreal>, ys);
        const auto lines = kalvorin::ui::gridLines(rect);
        QCOMPARE(lines.size(), xs.size() + ys.size());
        for (qsizetype i = 0; i < xs.size(); ++i) // vertical lines first, top to bottom
            QCOMPARE(lines.at(i), QLineF(xs.at(i), rect.top(), xs.at(i), rect.bottom()));
        for (qsizetype i = 0; i < ys.size(); ++i)
            QCOMPARE(lines.at(xs.size() + i), QLineF(rect.left(), ys.at(i), rect.right(), ys.at(i)));
    }

    void componentsLoad_data() {
        QTest::addColumn<QByteArray>("qml");
        QTest::newRow("KalvorinBackground") << QByteArray("KalvorinBackground { anchors.fill: parent }");
        QTest::newRow("GridPattern") << QByteArray("GridPattern { anchors.fill: parent }");
        QTest::newRow("ProPanel") << QByteArray("ProPanel { width: 300; tint: KalvorinTheme.red; radius: 20; "
                                                "glow: true; Text { text: \"نص\" } }");
        QTest::newRow("SectionTitle") << QByteArray("SectionTitle { width: 300; text: \"سير العمل\" }");
        QTest::newRow("PrimaryButtonStyle") << QByteArray("PrimaryButtonStyle { text: \"دخول\" }");
        QTest::newRow("SecondaryButtonStyle")
            << QByteArray("SecondaryButtonStyle { text: \"إضافة\"; symbol: \"plus.circle\" }");
        QTest::newRow("IconTextField")
            << QByteArray("IconTextField { width: 300; icon: \"person\"; placeholder: \"اسم\" }");
        QTest::newRow("NativePickerCard") << QByteArray(
            "NativePickerCard { width: 300; title: \"الإدارة\"; PickerMenu { model: [\"أ\", \"ب\"] } }");
        QTest::newRow("FormSectionCard")
            << QByteArray("FormSectionCard { width: 340; title: \"ت\"; caption: \"ق\"; "
                          "icon: \"paperclip\"; IconTextField { icon: \"key\" } }");
        QTest::newRow("Symbol") << QByteArray(
            "Symbol { name: \"bell.fill\"; size: 18; color: KalvorinTheme.gold }");
        QTest::newRow("artwork") << QByteArray("Row { KalvorinTitle {} KalvorinMark { size: 42 } }");
    }
    void componentsLoad() {
        QFETCH(QByteArray, qml);
        Page page(qml);
        QVERIFY2(page.root, qPrintable(g_messages.join('\n')));
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QVERIFY(!page.view.grabWindow().isNull());
        QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join('\n')));
    }

    // The glow starts drifting once the background is shown, and only moves the item: the
    // painted glow is not redrawn for a step.
    void backgroundGlowDrifts() {
        Page page("KalvorinBackground { objectName: \"bg\"; anchors.fill: parent; driftInterval: 20 }");
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QQuickItem* background = page.find("bg");
        QVERIFY(background);
        QVERIFY(background->property("animate").toBool());
        QQuickItem* glow = page.find("glow");
        QVERIFY(glow);
        const QPointF start = glow->position();
        QTRY_VERIFY(glow->position() != start);
        QCOMPARE(glow->width(), 2 * (240 + 28.0));
    }

    void unknownSymbolIsDetected() {
        Page page("Symbol { objectName: \"s\"; name: \"no.such.symbol\" }");
        QQuickItem* symbol = page.find("s");
        QVERIFY(symbol);
        QCOMPARE(symbol->property("known").toBool(), false);
        QCOMPARE(symbol->property("text").toString(), QString());
        QVERIFY(g_messages.join('\n').contains(QLatin1String("no.such.symbol")));
    }

    // Typing reports textEdited for the user's own input; a bound value does not.
    void iconTextFieldTyping() {
        Page page("IconTextField { objectName: \"f\"; width: 300; text: \"أ\" }");
        QQuickItem* field = page.find("f");
        QVERIFY(field);
        QSignalSpy edited(field, SIGNAL(textEdited()));
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        auto* input = field->property("input").value<QQuickItem*>();
        QVERIFY(input);
        input->forceActiveFocus();
        QTest::keyClick(&page.view, 'b');
        QTest::keyClick(&page.view, 'c');
        QCOMPARE(field->property("text").toString(), QStringLiteral("أbc"));
        QCOMPARE(edited.count(), 2);
    }

    void buttonShrinksWhilePressed() {
        Page page("PrimaryButtonStyle { objectName: \"b\"; x: 20; y: 20; width: 200; text: \"دخول\" }");
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QQuickItem* button = page.find("b");
        QVERIFY(button);
        const QPoint centre = button->mapToScene(QPointF(100, 20)).toPoint();
        QTest::mousePress(&page.view, Qt::LeftButton, {}, centre);
        QTRY_COMPARE(button->scale(), 0.98);
        QTest::mouseRelease(&page.view, Qt::LeftButton, {}, centre);
        QTRY_COMPARE(button->scale(), 1.0);
    }

    // The drop-down lists every choice, in order, and marks the chosen one.
    void pickerMenuOpens() {
        Page page("NativePickerCard { y: 10; width: 360; title: \"الإدارة\"\n"
                  "  PickerMenu { objectName: \"m\"; model: [\"أ\", \"ب\", \"ج\"]; heldIndex: 1 } }",
                  400);
        QVERIFY(QTest::qWaitForWindowExposed(&page.view));
        QQuickItem* menu = page.find("m");
        QVERIFY(menu);
        QCOMPARE(menu->property("displayText").toString(), QStringLiteral("ب"));
        auto* popup = menu->property("popup").value<QObject*>();
        QVERIFY(popup);
        QMetaObject::invokeMethod(popup, "open");
        QTRY_VERIFY(popup->property("opened").toBool());
        auto* list = popup->property("contentItem").value<QQuickItem*>();
        QVERIFY(list);
        QTRY_COMPARE(list->property("count").toInt(), 3);
        QStringList texts;
        for (int i = 0; i < 3; ++i) {
            QQuickItem* row = nullptr;
            QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem*, row), Q_ARG(int, i));
            QVERIFY(row);
            texts << row->property("contentItem").value<QQuickItem*>()->property("text").toString();
            QCOMPARE(row->property("chosen").toBool(), i == 1);
        }
        QCOMPARE(texts, (QStringList{QStringLiteral("أ"), QStringLiteral("ب"), QStringLiteral("ج")}));
        if (qEnvironmentVariableIsSet("KALVORIN_PICKER_PNG"))
            page.view.grabWindow().save(qEnvironmentVariable("KALVORIN_PICKER_PNG"));
        QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join('\n')));
    }

    // The whole gallery renders without a message; its untouched corner shows the background
    // gradient's navy end (bottom-leading, the lower right once mirrored).
    void galleryRenders() {
        QQuickView view;
        kalvorin::ui::addImportPaths(*view.engine());
        g_messages.clear();
        view.setSource(QUrl::fromLocalFile(QStringLiteral(KALVORIN_THEME_GALLERY)));
        QVERIFY2(view.status() == QQuickView::Ready, qPrintable(g_messages.join('\n')));
        view.resize(390, 1400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage image = view.grabWindow();
        QVERIFY(!image.isNull());
        image.save(QStringLiteral(KALVORIN_GALLERY_PNG));
        QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join('\n')));
        const QColor corner = image.pixelColor(385, 1395);
        const QColor navy = KalvorinTheme::navy();
        QVERIFY2(qAbs(corner.red() - navy.red()) <= 4 && qAbs(corner.green() - navy.green()) <= 4 &&
                     qAbs(corner.blue() - navy.blue()) <= 4,
                 qPrintable(corner.name()));
    }
};

QTEST_MAIN(ThemeTest)
#include "tst_theme.moc"
