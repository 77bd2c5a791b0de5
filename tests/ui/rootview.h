#pragma once

// The app's root view in a 390 × 844 mirrored window, as the app shows it, for the screen tests:
// find items by object name, click them, type into the focused field.

#include "appwindow.h"
#include "kalvorinui.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QtTest>
#include <memory>

namespace kalvorin::test {

class RootView {
public:
    QQuickItem* show(int pollIntervalMs = 30000) {
        view = std::make_unique<QQuickView>();
        kalvorin::ui::addImportPaths(*view->engine());
        QQmlComponent component(view->engine());
        component.setData(
            "import QtQuick\nimport Kalvorin.Frame\nContentView { width: 390; height: 844; "
            "LayoutMirroring.enabled: true; LayoutMirroring.childrenInherit: true; pollIntervalMs: " +
                QByteArray::number(pollIntervalMs) + " }",
            QUrl(QStringLiteral("qrc:/screen-test/Root.qml")));
        auto* root = qobject_cast<QQuickItem*>(component.create());
        if (!root) {
            qWarning() << component.errors();
            return nullptr;
        }
        view->setContent(QUrl(), &component, root);
        view->resize(390, 844);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            return nullptr;
        return root;
    }

    QQuickItem* find(const char* name) const {
        return kalvorin::ui::findItem(view->contentItem(), QLatin1String(name));
    }

    void type(const QString& text) { typeInto(view.get(), text); }
    void settle() { kalvorin::test::settle(view.get()); }
    // A tap at the item's centre; fails when the tap would reach something else.
    void click(QQuickItem* item) {
        QVERIFY(item);
        // The tap may take the item away (a screen popped): nothing of it is read after.
        QVERIFY2(tap(view.get(), item), "a tap cannot reach the item (see the warning above)");
    }

    // A finger pulling the content down by `distance` from `y`, then letting go.
    void pullDown(int y, int distance) {
        const int x = view->width() / 2;
        QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(x, y));
        for (int step = 1; step <= 12; ++step) {
            QTest::mouseMove(view.get(), QPoint(x, y + distance * step / 12), 16);
        }
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(x, y + distance), 16);
    }

    std::unique_ptr<QQuickView> view;
};

} // namespace kalvorin::test
