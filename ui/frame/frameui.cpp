// Part of kalvorin_ui (not of the frame module): programs call installAppState(), which links
// this file and with it the import of the static Kalvorin.Frame QML plugin.
#include "frameui.h"

#include "appdelegate.h"
#include "appstatesingleton.h"
#include "kalvorinui.h"
#include "shellnavigation.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QTranslator>
#include <QWindow>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Kalvorin_FramePlugin)
Q_IMPORT_QML_PLUGIN(Kalvorin_CreatePlugin)
Q_IMPORT_QML_PLUGIN(Kalvorin_DetailPlugin)

namespace kalvorin::ui {

// overview/overviewui.cpp: imports the screens' plugin, once something refers to it.
void linkOverviewScreens();

void installAppState(MobileAppState* state) {
    linkOverviewScreens();
    AppStateSingleton::setInstance(state);
}

namespace {

// The platform's own controls (text selection, dialogs) in the dark scheme of the screens.
QPalette darkPalette() {
    const QColor text = QColor::fromRgbF(0.94f, 0.98f, 1.0f);
    const QColor panel = QColor::fromRgbF(0.022f, 0.082f, 0.142f);
    QPalette p;
    p.setColor(QPalette::Window, QColor::fromRgbF(0.012f, 0.075f, 0.128f));
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor::fromRgbF(0.004f, 0.026f, 0.052f));
    p.setColor(QPalette::AlternateBase, panel);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, panel);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor::fromRgbF(0.04f, 0.7f, 0.66f));
    p.setColor(QPalette::HighlightedText, QColor::fromRgbF(0.001f, 0.014f, 0.033f));
    p.setColor(QPalette::PlaceholderText, QColor::fromRgbF(0.64f, 0.73f, 0.82f));
    return p;
}

} // namespace

void prepareApplication(QGuiApplication& app) {
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    QGuiApplication::setPalette(darkPalette());
    QLocale::setDefault(QLocale(QLocale::Arabic));

    auto* platformTexts = new QTranslator(&app);
    if (platformTexts->load(QLocale(QLocale::Arabic), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(platformTexts);

    loadFonts();
    QQuickStyle::setStyle(QStringLiteral("Basic"));
}

void followNotificationActivation(KalvorinAppDelegate& delegate, QQmlApplicationEngine& engine) {
    QObject::connect(&delegate, &KalvorinAppDelegate::raiseRequested, &engine, [&engine] {
        if (engine.rootObjects().isEmpty())
            return;
        if (auto* window = qobject_cast<QWindow*>(engine.rootObjects().constFirst())) {
            window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
            window->show();
            window->raise();
            window->requestActivate();
        }
    });
    QObject::connect(&delegate, &KalvorinAppDelegate::ticketRequested, &engine,
                     [&engine](const QString& maintenanceNo) {
                         const int type = qmlTypeId("Kalvorin.Frame", 1, 0, "ShellNavigation");
                         if (auto* navigation = engine.singletonInstance<ShellNavigation*>(type))
                             navigation->openTicket(maintenanceNo);
                     });
}

QQuickItem* findItem(QQuickItem* item, const QString& name) {
    if (!item)
        return nullptr;
    if (item->objectName() == name)
        return item;
    const QList<QQuickItem*> children = item->childItems();
    for (QQuickItem* child : children)
        if (QQuickItem* found = findItem(child, name))
            return found;
    return nullptr;
}

} // namespace kalvorin::ui
