#include "appstatesingleton.h"

#include <QJSEngine>
#include <QQmlEngine>

namespace kalvorin {

void AppStateSingleton::setInstance(MobileAppState* state) {
    s_instance = state;
}

MobileAppState* AppStateSingleton::instance() {
    return s_instance.data();
}

MobileAppState* AppStateSingleton::create(QQmlEngine*, QJSEngine* jsEngine) {
    MobileAppState* state = s_instance.data();
    Q_ASSERT_X(state, "AppState", "AppStateSingleton::setInstance() must run before QML is loaded");
    // The engine must not take it: the state outlives every engine that shows it.
    if (state)
        QJSEngine::setObjectOwnership(state, QJSEngine::CppOwnership);
    Q_UNUSED(jsEngine);
    return state;
}

} // namespace kalvorin
