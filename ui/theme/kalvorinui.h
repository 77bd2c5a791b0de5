#pragma once
// Start-up of the user interface, for the app's main, the tests and the tools:
//
//     QGuiApplication app(argc, argv);
//     kalvorin::ui::loadFonts();
//     QQmlApplicationEngine engine;
//     kalvorin::ui::addImportPaths(engine);
//
// loadFonts() registers the bundled faces ("Tajawal" at 500/700/800 and "Material Icons") with
// the application font database; later calls do nothing; false when a face could not be loaded.
// addImportPaths() lets the engine find the Kalvorin.* QML modules, which live in the resources
// under qrc:/qt/qml (every area module uses RESOURCE_PREFIX /qt/qml).

class QQmlEngine;

namespace kalvorin::ui {

bool loadFonts();
void addImportPaths(QQmlEngine& engine);

} // namespace kalvorin::ui
