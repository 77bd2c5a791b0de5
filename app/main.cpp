// KalvorinMobileApp: the process entry. Fonts, Arabic platform texts, right to left, dark, the
// one state object, the application delegate, and one window of 390×844 holding the root view.

#include "appdelegate.h"
#include "frameui.h"
#include "kalvorinui.h"
#include "mobileappstate.h"
#include "quitonsignal.h"

#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvorin"));
    QCoreApplication::setApplicationName(QStringLiteral("KalvorinMobile"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVORIN_VERSION));
    // The desktop matches the window to its entry (and icon) by this id, as it does the
    // notifications.
    QGuiApplication::setDesktopFileName(kalvorin::NotificationCenter::kDesktopEntry);
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/kalvorin/images/KalvorinMark.svg")));
    kalvorin::quitOnTerminationSignals(app);
    kalvorin::ui::prepareApplication(app);

    kalvorin::MobileAppState state;
    kalvorin::KalvorinAppDelegate delegate(state);
    delegate.didFinishLaunching(*state.notificationCenter());
    kalvorin::ui::installAppState(&state);

    QQmlApplicationEngine engine;
    kalvorin::ui::addImportPaths(engine);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app, [] { QCoreApplication::exit(1); },
        Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Kalvorin/App/Main.qml")));
    kalvorin::ui::followNotificationActivation(delegate, engine);
    return app.exec();
}
