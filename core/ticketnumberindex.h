#pragma once

// The ticket numbers of the list, ready to be found in a notification's words. A notification
// leads to a ticket when its title or body names the ticket's number as a whole token: the
// number stands on its own, not as a piece of a longer number or word.
//
//     TicketNumberIndex index(state.tickets());        // once per change of the list
//     index.namedBy(notification)  // "MNT-2026-00045", or empty when it names no ticket of the list
//
// A token is a run of letters, digits and marks, joined inside by single connectors (a hyphen or
// dash, '_', '/', '.'): "MNT-2026-00045" is one token, "MNT-2026-00045." ends before the full
// stop, and "MNT-2026-00045-2" or "MNT-2026-000451" are other tokens. Spaces, other punctuation
// and invisible marks (the bidirectional isolates and marks a server may put around a number)
// separate tokens. Numbers are compared exactly, case included.
//
// Finding costs a hash look-up per token of the text, whatever the length of the list.

#include "records/notifications.h"
#include "records/overview.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringView>

namespace kalvorin {

class TicketNumberIndex {
public:
    TicketNumberIndex() = default;
    explicit TicketNumberIndex(const QList<TicketSummary>& tickets);
    explicit TicketNumberIndex(const QStringList& numbers);

    bool isEmpty() const { return m_tokens.isEmpty() && m_multiToken.isEmpty() && m_unusual.isEmpty(); }

    // The first number of the list that `text` names, in reading order (the longest where two
    // start at the same place); empty when it names none.
    QString namedIn(QStringView text) const;
    // The title's first, else the body's.
    QString namedBy(const MobileNotification& notification) const;

private:
    void add(const QString& number);

    // Numbers that are one token.
    QSet<QString> m_tokens;
    // Numbers of several tokens ("MNT 45"), by their first token.
    QHash<QString, QStringList> m_multiToken;
    // Numbers that do not start with a letter or digit ("#45"): searched for as they are.
    QStringList m_unusual;
};

} // namespace kalvorin
