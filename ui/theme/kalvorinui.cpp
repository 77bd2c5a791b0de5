// Part of kalvorin_ui (not of the theme module): the start-up functions live here so that every
// program calling them also links this file, which imports the static Kalvorin.Theme QML plugin.
#include "kalvorinui.h"

#include <QFontDatabase>
#include <QQmlEngine>
#include <QString>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Kalvorin_ThemePlugin)

namespace kalvorin::ui {

bool loadFonts() {
    static const bool loaded = [] {
        static const char* const files[] = {
            ":/kalvorin/fonts/Tajawal_500Medium.ttf",
            ":/kalvorin/fonts/Tajawal_700Bold.ttf",
            ":/kalvorin/fonts/Tajawal_800ExtraBold.ttf",
            ":/kalvorin/fonts/MaterialIcons-Regular.ttf",
        };
        bool ok = true;
        for (const char* file : files)
            ok = QFontDatabase::addApplicationFont(QString::fromLatin1(file)) >= 0 && ok;
        return ok;
    }();
    return loaded;
}

void addImportPaths(QQmlEngine& engine) {
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
}

} // namespace kalvorin::ui
