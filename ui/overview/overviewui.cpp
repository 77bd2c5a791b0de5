// Part of kalvorin_ui: links the static Kalvorin.Overview QML plugin into every program that
// shows the shell (frameui.cpp refers to this file's anchor).
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Kalvorin_OverviewPlugin)

namespace kalvorin::ui {
void linkOverviewScreens() {}
} // namespace kalvorin::ui
