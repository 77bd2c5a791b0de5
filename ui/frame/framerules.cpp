#include "framerules.h"

#include "kalvorintheme.h"
#include "mobileappstate.h"
#include "records/variant.h"

#include <QVariantMap>
#include <algorithm>

namespace kalvorin {

namespace {

struct Tab {
    const char* label;
    const char* symbol;
    QColor (*tint)();
};

// The tabs, in the order of the bar.
const Tab kTabs[FrameRules::kTabCount] = {
    {"الرئيسية", "house.fill", &KalvorinTheme::teal}, {"متابعة", "ticket.fill", &KalvorinTheme::blue},
    {"بلاغ جديد", "plus", &KalvorinTheme::teal},      {"الإشعارات", "bell.fill", &KalvorinTheme::gold},
    {"المزيد", "ellipsis", &KalvorinTheme::muted},
};

bool validTab(int index) {
    return index >= 0 && index < FrameRules::kTabCount;
}

bool present(const std::optional<QString>& text) {
    return text && !text->isEmpty();
}

} // namespace

FrameRules::FrameRules(QObject* parent) : QObject(parent) {}

int FrameRules::pollIntervalMs() const {
    return MobileAppState::kPollIntervalMs;
}

// ---- root view --------------------------------------------------------------

bool FrameRules::serverOnline(const std::optional<StatusResponse>& status) {
    return status && status->ok;
}

bool FrameRules::serverOnline(const QVariant& status) {
    return serverOnline(fromVariant<std::optional<StatusResponse>>(status));
}

QColor FrameRules::connectionColor(bool online) {
    return online ? KalvorinTheme::green() : KalvorinTheme::red();
}

// ---- tab bar ----------------------------------------------------------------

int FrameRules::shownTab(int selectedTab) {
    return validTab(selectedTab) ? selectedTab : 0;
}

QString FrameRules::tabLabel(int index) {
    return validTab(index) ? QString::fromUtf8(kTabs[index].label) : QString();
}

QString FrameRules::tabSymbol(int index) {
    return validTab(index) ? QString::fromLatin1(kTabs[index].symbol) : QString();
}

QColor FrameRules::tabTint(int index) {
    return validTab(index) ? kTabs[index].tint() : KalvorinTheme::muted();
}

int FrameRules::tabCircleSize(int index) {
    return index == kCentreTab ? 46 : 34;
}

int FrameRules::tabSymbolSize(int index) {
    return index == kCentreTab ? 20 : 17;
}

QColor FrameRules::tabFill(int index, bool selected) {
    if (index == kCentreTab)
        return KalvorinTheme::alpha(KalvorinTheme::teal(), 0.28);
    return QColor::fromRgbF(1, 1, 1, selected ? 0.10f : 0.04f);
}

QColor FrameRules::tabSymbolColor(int index, bool selected) {
    return selected ? tabTint(index) : KalvorinTheme::muted();
}

QColor FrameRules::tabOutline(int index, bool selected) {
    return selected ? KalvorinTheme::alpha(tabTint(index), 0.75) : KalvorinTheme::stroke();
}

bool FrameRules::badgeVisible(int unread) {
    return unread >= 1;
}

QString FrameRules::badgeText(int unread) {
    return QString::asprintf("%lld", static_cast<long long>(std::min(unread, kBadgeCap)));
}

int FrameRules::contentWidth(int windowWidth) {
    return std::clamp(windowWidth, 0, kContentWidthLimit);
}

// ---- header -----------------------------------------------------------------

bool FrameRules::runHeaderAction(QObject* stateObject, HeaderAction action) {
    auto* state = qobject_cast<MobileAppState*>(stateObject);
    switch (action) {
    case ShowNotifications:
        if (state)
            state->setSelectedTab(kNotificationsTab);
        return false;
    case ShowMore:
        if (state)
            state->setSelectedTab(kMoreTab);
        return false;
    case RefreshAll:
        if (state)
            state->startRefreshAll();
        return false;
    case Dismiss:
        return true;
    case NoAction:
        break;
    }
    return false;
}

QString FrameRules::headerActionName(HeaderAction action) {
    switch (action) {
    case ShowNotifications:
        return tabLabel(kNotificationsTab);
    case ShowMore:
        return tabLabel(kMoreTab);
    case RefreshAll:
        return QStringLiteral("تحديث البيانات");
    case Dismiss:
        return QStringLiteral("رجوع");
    case NoAction:
        break;
    }
    return {};
}

// ---- user strip -------------------------------------------------------------

QString FrameRules::greeting(const std::optional<MobileUser>& user) {
    const QString name = user && present(user->name) ? *user->name : QStringLiteral("مستخدم النظام");
    return QStringLiteral("مرحباً، ") + name;
}

QString FrameRules::greeting(const QVariant& user) {
    return greeting(fromVariant<std::optional<MobileUser>>(user));
}

QString FrameRules::roleLine(const std::optional<MobileUser>& user) {
    return user && user->role ? *user->role : QStringLiteral("الدور غير محدد");
}

QString FrameRules::roleLine(const QVariant& user) {
    return roleLine(fromVariant<std::optional<MobileUser>>(user));
}

QString FrameRules::scopeLine(const std::optional<MobileUser>& user) {
    return user && present(user->scope) ? *user->scope : QString();
}

QString FrameRules::scopeLine(const QVariant& user) {
    return scopeLine(fromVariant<std::optional<MobileUser>>(user));
}

// ---- More screen ------------------------------------------------------------

QColor FrameRules::moreButtonColor(bool destructive) {
    return destructive ? KalvorinTheme::red() : KalvorinTheme::text();
}

} // namespace kalvorin
