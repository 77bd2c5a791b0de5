// KalvorinMobileApp: the process entry. Fonts, Arabic platform texts, right to
// left, dark, and one window of 390×844 holding the root view.

#include "mobileappstate.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvorin"));
    QCoreApplication::setApplicationName(QStringLiteral("KalvorinMobile"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVORIN_VERSION));
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    QLocale::setDefault(QLocale(QLocale::Arabic));

    // Qt's own texts (network failures, dialog buttons) in Arabic, as on the phone.
    QTranslator platformTexts;
    if (platformTexts.load(QLocale(QLocale::Arabic), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&platformTexts);

    QQuickStyle::setStyle(QStringLiteral("Basic"));

    kalvorin::MobileAppState state;

    QQmlApplicationEngine engine;
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app, [] { QCoreApplication::exit(1); },
        Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/Kalvorin/App/Main.qml")));
    return app.exec();
}
