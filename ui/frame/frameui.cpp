// Part of kalvorin_ui (not of the frame module): programs call installAppState(), which links
// this file and with it the import of the static Kalvorin.Frame QML plugin.
#include "frameui.h"

#include "appstatesingleton.h"

#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Kalvorin_FramePlugin)

namespace kalvorin::ui {

void installAppState(MobileAppState* state) {
    AppStateSingleton::setInstance(state);
}

} // namespace kalvorin::ui
