#pragma once

#include <QByteArray>

namespace kalvorin::test {

// A `tickets` answer of `count` realistic rows with every member present: Arabic titles, states,
// priorities, scopes with separators, handlers, beneficiaries, dates, attachment counts, SLA.
// Row i is "MNT-2024-<100000 + i>"; the texts cycle through small fixed sets.
QByteArray ticketsAnswer(int count);

} // namespace kalvorin::test
