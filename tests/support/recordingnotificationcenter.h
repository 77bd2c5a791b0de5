#pragma once

#include "notificationcenter.h"

#include <QList>
#include <QSet>

namespace kalvorin::test {

// A notification centre that keeps what was posted, for tests. It can refuse
// permission and refuse chosen identifiers.
class RecordingNotificationCenter : public NotificationCenter {
    Q_OBJECT
public:
    using NotificationCenter::NotificationCenter;

    bool granted = true;
    QSet<QString> refused;
    QList<Content> posted;
    int lastOptions = 0;

    QCoro::Task<bool> requestAuthorization(int options) override {
        lastOptions = options;
        co_return granted;
    }
    QCoro::Task<bool> add(Content content) override {
        const bool ok = !refused.contains(content.identifier);
        posted.append(std::move(content));
        co_return ok;
    }
    QStringList postedIdentifiers() const {
        QStringList out;
        for (const Content& c : posted)
            out.append(c.identifier);
        return out;
    }
};

} // namespace kalvorin::test
