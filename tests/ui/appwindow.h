#pragma once

// The app's own window (AppWindow, as main() shows it) for the screen tests, used as a person
// uses it: taps land through the window at the centre of an item once the layout has settled,
// keys go one at a time to the focused item, and what a tap at a point would reach is worked out
// the way the window delivers it (topmost item that takes a press).

#include "frameui.h"
#include "kalvorinui.h"

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace kalvorin::test {

// A control a user can press, type into or reach with Tab.
inline bool isInteractive(QQuickItem* item) {
    if (item->activeFocusOnTab() || item->inherits("QQuickAbstractButton") ||
        item->inherits("QQuickTextInput") || item->inherits("QQuickTextEdit") ||
        item->inherits("QQuickComboBox"))
        return true;
    const QObjectList children = item->children();
    return std::any_of(children.begin(), children.end(), [](QObject* child) {
        return (child->inherits("QQuickTapHandler") || child->inherits("QQuickMouseArea")) &&
               child->property("enabled").toBool();
    });
}

// Whether a press on the item stops there: it takes mouse or touch itself, or holds a pointer
// handler. Disabled controls count: they still cover what lies below them.
inline bool takesPress(QQuickItem* item) {
    // A text takes a press only on a link; ours have none.
    if (item->inherits("QQuickText"))
        return false;
    if (item->acceptedMouseButtons() & Qt::LeftButton || item->acceptTouchEvents())
        return true;
    const QObjectList children = item->children();
    return std::any_of(children.begin(), children.end(), [](QObject* child) {
        return child->inherits("QQuickPointerHandler") && child->property("enabled").toBool();
    });
}

// The item a press at `scenePoint` reaches: children before their parent, the topmost first.
inline QQuickItem* itemAt(QQuickItem* item, QPointF scenePoint) {
    if (!item->isVisible() || item->opacity() <= 0)
        return nullptr;
    const QPointF local = item->mapFromScene(scenePoint);
    if (item->clip() && !item->contains(local))
        return nullptr;
    QList<QQuickItem*> children = item->childItems();
    std::stable_sort(children.begin(), children.end(),
                     [](QQuickItem* a, QQuickItem* b) { return a->z() < b->z(); });
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (QQuickItem* hit = itemAt(*it, scenePoint))
            return hit;
    return item->contains(local) && takesPress(item) ? item : nullptr;
}

inline QString describe(QQuickItem* item) {
    QStringList path;
    for (QQuickItem* i = item; i; i = i->parentItem())
        if (!i->objectName().isEmpty())
            path.prepend(i->objectName());
    return QStringLiteral("%1 (%2)").arg(path.join(u'/'),
                                         QString::fromLatin1(item->metaObject()->className()));
}

// The first visible item of that name: popups keep the items of their closed lists.
inline QQuickItem* findVisible(QQuickItem* item, const QString& name) {
    if (!item || !item->isVisible())
        return nullptr;
    if (item->objectName() == name)
        return item;
    for (QQuickItem* child : item->childItems())
        if (QQuickItem* found = findVisible(child, name))
            return found;
    return nullptr;
}

// Lets bindings, layouts and a frame run, so that what is tapped stands where it is drawn.
inline void settle(QQuickWindow* window) {
    QSignalSpy swapped(window, &QQuickWindow::frameSwapped);
    window->update();
    swapped.wait(1000);
    QCoreApplication::processEvents();
}

// A press and release at the centre of the item, as a finger does, once the layout has settled.
// False (and nothing pressed) when something else lies there: the tap would not reach the item.
inline bool tap(QQuickWindow* window, QQuickItem* item) {
    if (!item)
        return false;
    settle(window);
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QQuickItem* hit = itemAt(window->contentItem(), centre);
    if (hit != item && !item->isAncestorOf(hit)) {
        qWarning() << "a tap on" << describe(item) << "reaches"
                   << (hit ? describe(hit) : QStringLiteral("nothing"));
        return false;
    }
    QTest::mouseClick(window, Qt::LeftButton, {}, centre.toPoint());
    return true;
}

// One key event per character, to whatever has the focus (Arabic included).
inline void typeInto(QQuickWindow* window, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, window, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class AppWindow {
public:
    std::unique_ptr<QQmlApplicationEngine> engine;
    QQuickWindow* window = nullptr;

    // The window at the given size, active so that keys reach it.
    bool show(int width = 390, int height = 844) {
        engine = std::make_unique<QQmlApplicationEngine>();
        kalvorin::ui::addImportPaths(*engine);
        engine->loadData("import Kalvorin.Frame\nAppWindow {}\n",
                         QUrl(QStringLiteral("qrc:/screen-test/Main.qml")));
        if (engine->rootObjects().isEmpty())
            return false;
        window = qobject_cast<QQuickWindow*>(engine->rootObjects().constFirst());
        if (!window)
            return false;
        window->setMinimumSize(QSize(std::min(width, 300), std::min(height, 390)));
        window->resize(width, height);
        window->requestActivate();
        return QTest::qWaitForWindowActive(window) &&
               QTest::qWaitFor([&] { return window->width() == width && window->height() == height; });
    }
    void close() {
        engine.reset();
        window = nullptr;
    }

    QQuickItem* find(const char* name) const {
        return kalvorin::ui::findItem(window->contentItem(), QLatin1String(name));
    }

    void settle() const { kalvorin::test::settle(window); }
    QPointF centreOf(QQuickItem* item) const {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    }
    bool tap(QQuickItem* item) const { return kalvorin::test::tap(window, item); }
    bool tap(const char* name) const { return tap(find(name)); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) const { QTest::keyClick(window, k, modifiers); }
    void type(const QString& text) const { typeInto(window, text); }
};

} // namespace kalvorin::test
