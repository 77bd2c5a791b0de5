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

// The models the state hands out, known to the QML tools by their properties and methods; QML
// never creates them.
struct RecordListModelForeign {
    Q_GADGET
    QML_FOREIGN(kalvorin::RecordListModel)
    QML_ANONYMOUS
};
struct TicketListModelForeign {
    Q_GADGET
    QML_FOREIGN(kalvorin::TicketListModel)
    QML_ANONYMOUS
};
struct NotificationListModelForeign {
    Q_GADGET
    QML_FOREIGN(kalvorin::NotificationListModel)
    QML_ANONYMOUS
};
struct OverviewRowsModelForeign {
    Q_GADGET
    QML_FOREIGN(kalvorin::OverviewRowsModel)
    QML_ANONYMOUS
};
struct DashboardOverviewForeign {
    Q_GADGET
    QML_FOREIGN(kalvorin::DashboardOverview)
    QML_ANONYMOUS
};

} // namespace kalvorin
