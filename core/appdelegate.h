#pragma once

#include "notificationcenter.h"

namespace kalvorin {

// The application delegate: it takes the notification centre's delegate role
// at launch so that notifications also show while the app is in front, as a
// banner with sound and badge, like those that arrive in the background.
class KalvorinAppDelegate : public NotificationCenterDelegate {
public:
    static constexpr int kForegroundPresentation = NotificationCenter::PresentBanner |
                                                   NotificationCenter::PresentSound |
                                                   NotificationCenter::PresentBadge;

    bool didFinishLaunching(NotificationCenter& center) {
        center.setDelegate(this);
        return true;
    }

    int willPresent(const NotificationCenter::Content&) override { return kForegroundPresentation; }
};

} // namespace kalvorin
