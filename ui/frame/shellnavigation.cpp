#include "shellnavigation.h"

#include "framerules.h"

#include <QFile>

namespace kalvorin {

namespace {

// A module's screen, when the module is linked into this program.
QUrl screenIfBuilt(const char* path) {
    const QString resource = QStringLiteral(":/qt/qml/Kalvorin/") + QLatin1String(path);
    return QFile::exists(resource) ? QUrl(QStringLiteral("qrc") + resource) : QUrl();
}

} // namespace

QUrl ShellNavigation::tabScreen(int tab) {
    switch (FrameRules::shownTab(tab)) {
    case FrameRules::TicketsTab:
        return screenIfBuilt("Overview/TicketsScreen.qml");
    case FrameRules::NewTicketTab: {
        const QUrl form = screenIfBuilt("Create/CreateTicketScreen.qml");
        return form.isEmpty() ? screenIfBuilt("Frame/PendingTabScreen.qml") : form;
    }
    case FrameRules::NotificationsTab:
        return screenIfBuilt("Overview/NotificationsScreen.qml");
    case FrameRules::MoreTab:
        return screenIfBuilt("Frame/MoreScreen.qml");
    default:
        return screenIfBuilt("Overview/DashboardScreen.qml");
    }
}

QString ShellNavigation::ticketDetailScreen() {
    return screenIfBuilt("Detail/TicketDetailScreen.qml").toString();
}

} // namespace kalvorin
