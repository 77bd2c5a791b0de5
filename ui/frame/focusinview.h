#pragma once
// Keeps the keyboard's focus where the user can see it: whenever the window's focus moves to an
// item inside a scrolling area, the area scrolls just enough to show the item (and to keep it
// clear of the tab bar at the bottom), so Tab never reaches a control the user cannot see and
// Return never presses one.
//
//     FocusInView { window: root.Window.window }

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QtQml/qqmlregistration.h>

class QQuickItem;

namespace kalvorin {

class FocusInView : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QQuickWindow* window READ window WRITE setWindow NOTIFY windowChanged)
    // The band at the bottom of a scrolling area that the tab bar may cover.
    Q_PROPERTY(
        qreal bottomClearance READ bottomClearance WRITE setBottomClearance NOTIFY bottomClearanceChanged)

public:
    using QObject::QObject;

    QQuickWindow* window() const { return m_window; }
    void setWindow(QQuickWindow* window);
    qreal bottomClearance() const { return m_bottomClearance; }
    void setBottomClearance(qreal value);

    // Scrolls every scrolling area around `item`, innermost first, until the item shows.
    void reveal(QQuickItem* item) const;

signals:
    void windowChanged();
    void bottomClearanceChanged();

private:
    QPointer<QQuickWindow> m_window;
    QMetaObject::Connection m_connection;
    qreal m_bottomClearance = 96;
};

} // namespace kalvorin
