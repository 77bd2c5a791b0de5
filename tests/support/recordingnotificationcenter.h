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
    // The user answers a posted notification (activates it: NotificationCenter::kDefaultAction, or
    // presses one of its buttons), as the desktop reports it to the delegate. False when nothing
    // was posted under that identifier or no delegate listens.
    bool answer(const QString& identifier, const QString& action) {
        if (!postedIdentifiers().contains(identifier) || !delegate())
            return false;
        delegate()->didReceive(identifier, action);
        return true;
    }
    QStringList postedIdentifiers() const {
        QStringList out;
        for (const Content& c : posted)
            out.append(c.identifier);
        return out;
    }
};

} // namespace kalvorin::test
