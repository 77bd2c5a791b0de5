#pragma once
// The rules of the app frame: which root screen shows, the tab bar's tabs, sizes, colours and
// badge, what a header button does, the user strip's lines and the connection colours. The QML
// views only choose which of these values to show; tests check them without a window.
//
// QML reads single records of the shared state as maps (AppState.user, AppState.status); each
// rule takes them as they come, and C++ code can use the typed overloads on the records.

#include "records/records.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace kalvorin {

class MobileAppState;

class FrameRules : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(int mobileBottomReachablePadding READ mobileBottomReachablePadding CONSTANT)
    Q_PROPERTY(int tabCount READ tabCount CONSTANT)
    Q_PROPERTY(int pollIntervalMs READ pollIntervalMs CONSTANT)
    Q_PROPERTY(int contentWidthLimit READ contentWidthLimit CONSTANT)

public:
    // Empty space below a scrolling screen's content so its last items can be scrolled above
    // the tab bar.
    static constexpr int kMobileBottomReachablePadding = 150;
    // The tabs, in the order of the bar: the one place their indexes are written.
    enum Tab { DashboardTab, TicketsTab, NewTicketTab, NotificationsTab, MoreTab, TabCount };
    Q_ENUM(Tab)
    static constexpr int kTabCount = TabCount;
    static constexpr int kNotificationsTab = NotificationsTab;
    static constexpr int kMoreTab = MoreTab;
    static constexpr int kCentreTab = NewTicketTab;
    static constexpr int kBadgeCap = 9;
    // A wide desktop window keeps the phone layout at this width, centred, instead of
    // stretching lines across the window.
    static constexpr int kContentWidthLimit = 560;

    // What a header button does. Each screen names the action of each of its header buttons;
    // the symbol only draws it.
    enum HeaderAction { NoAction, ShowNotifications, ShowMore, RefreshAll, Dismiss };
    Q_ENUM(HeaderAction)

    explicit FrameRules(QObject* parent = nullptr);

    int mobileBottomReachablePadding() const { return kMobileBottomReachablePadding; }
    int tabCount() const { return kTabCount; }
    int pollIntervalMs() const;
    int contentWidthLimit() const { return kContentWidthLimit; }
    // The width the screens get in a window of `windowWidth`, and where they start.
    Q_INVOKABLE static int contentWidth(int windowWidth);

    // ---- root view ----
    // (Whether the shell shows is the state's showsShell.)
    // The sign-in screen's dot: green when the server answered with ok.
    static bool serverOnline(const std::optional<StatusResponse>& status);
    Q_INVOKABLE static bool serverOnline(const QVariant& status);
    Q_INVOKABLE static QColor connectionColor(bool online);

    // ---- tab bar ----
    // The screen shown for a selected tab: any value outside the five tabs shows the dashboard.
    Q_INVOKABLE static int shownTab(int selectedTab);
    Q_INVOKABLE static QString tabLabel(int index);
    Q_INVOKABLE static QString tabSymbol(int index);
    Q_INVOKABLE static QColor tabTint(int index);
    Q_INVOKABLE static int tabCircleSize(int index);
    Q_INVOKABLE static int tabSymbolSize(int index);
    Q_INVOKABLE static QColor tabFill(int index, bool selected);
    Q_INVOKABLE static QColor tabSymbolColor(int index, bool selected);
    Q_INVOKABLE static QColor tabOutline(int index, bool selected);
    // (The unread count is the notifications model's unreadCount.)
    Q_INVOKABLE static bool badgeVisible(int unread);
    // The number on the badge, capped at 9.
    Q_INVOKABLE static QString badgeText(int unread);

    // ---- header ----
    // Runs the header action on the state; true when the screen showing the header must close.
    Q_INVOKABLE static bool runHeaderAction(QObject* state, kalvorin::FrameRules::HeaderAction action);
    // What a header button is called for assistive technology: what it does, since it shows
    // only a symbol. Empty for a slot without action.
    Q_INVOKABLE static QString headerActionName(kalvorin::FrameRules::HeaderAction action);

    // ---- user strip ----
    static QString greeting(const std::optional<MobileUser>& user);
    Q_INVOKABLE static QString greeting(const QVariant& user);
    static QString roleLine(const std::optional<MobileUser>& user);
    Q_INVOKABLE static QString roleLine(const QVariant& user);
    // Empty when the line is not shown.
    static QString scopeLine(const std::optional<MobileUser>& user);
    Q_INVOKABLE static QString scopeLine(const QVariant& user);

    // ---- More screen ----
    Q_INVOKABLE static QColor moreButtonColor(bool destructive);
};

} // namespace kalvorin
