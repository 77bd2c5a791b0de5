// KalvorinMobileApp: the process entry. Fonts, Arabic platform texts, right to left, dark, the
// one state object, the application delegate, and one window of 390×844 holding the root view.

#include "appdelegate.h"
#include "frameui.h"
#include "kalvorinui.h"
#include "mobileappstate.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QTranslator>

namespace {

// The platform's own controls (text selection, dialogs) in the dark scheme of the screens.
QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor::fromRgbF(0.012f, 0.075f, 0.128f));
    p.setColor(QPalette::WindowText, QColor::fromRgbF(0.94f, 0.98f, 1.0f));
    p.setColor(QPalette::Base, QColor::fromRgbF(0.004f, 0.026f, 0.052f));
    p.setColor(QPalette::AlternateBase, QColor::fromRgbF(0.022f, 0.082f, 0.142f));
    p.setColor(QPalette::Text, QColor::fromRgbF(0.94f, 0.98f, 1.0f));
    p.setColor(QPalette::Button, QColor::fromRgbF(0.022f, 0.082f, 0.142f));
    p.setColor(QPalette::ButtonText, QColor::fromRgbF(0.94f, 0.98f, 1.0f));
    p.setColor(QPalette::Highlight, QColor::fromRgbF(0.04f, 0.7f, 0.66f));
    p.setColor(QPalette::HighlightedText, QColor::fromRgbF(0.001f, 0.014f, 0.033f));
    p.setColor(QPalette::PlaceholderText, QColor::fromRgbF(0.64f, 0.73f, 0.82f));
    return p;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvorin"));
    QCoreApplication::setApplicationName(QStringLiteral("KalvorinMobile"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVORIN_VERSION));
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    QGuiApplication::setPalette(darkPalette());
    QLocale::setDefault(QLocale(QLocale::Arabic));

    // Qt's own texts (network failures, dialog buttons) in Arabic, as on the phone.
    QTranslator platformTexts;
    if (platformTexts.load(QLocale(QLocale::Arabic), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&platformTexts);

    kalvorin::ui::loadFonts();
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    kalvorin::MobileAppState state;
    kalvorin::KalvorinAppDelegate delegate;
    delegate.didFinishLaunching(*state.notificationCenter());
    kalvorin::ui::installAppState(&state);

    QQmlApplicationEngine engine;
    kalvorin::ui::addImportPaths(engine);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app, [] { QCoreApplication::exit(1); },
        Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Kalvorin/App/Main.qml")));
    return app.exec();
}
