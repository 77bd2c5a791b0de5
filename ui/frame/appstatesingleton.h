#pragma once
// Hands the one MobileAppState to QML as the singleton `AppState` of module Kalvorin.Frame:
//
//     AppStateSingleton::setInstance(&state);   // before the first QML engine loads
//     ... Text { text: AppState.serverURL } ...
//
// The state is created by main (tests create their own) and owned by C++; every engine that
// asks for the singleton gets that same object. Declared here, rather than registered at run
// time, so that the QML tools (qmllint) know its properties too.

#include "mobileappstate.h"

#include <QPointer>
#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

namespace kalvorin {

class AppStateSingleton {
    Q_GADGET
    QML_FOREIGN(kalvorin::MobileAppState)
    QML_NAMED_ELEMENT(AppState)
    QML_SINGLETON

public:
    static void setInstance(MobileAppState* state);
    static MobileAppState* instance();
    static MobileAppState* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);

private:
    static inline QPointer<MobileAppState> s_instance;
};

} // namespace kalvorin
