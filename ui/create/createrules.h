#pragma once
// The new-ticket form's rules that need no form: input clean-up and the option lists of the
// reporter's organisation. Pure functions over texts and records. Lengths are counted in
// characters by kalvorin::characterCount (textruns.h).

#include "records/reference.h"
#include "textruns.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kalvorin::create {

// Numerals of any script as ASCII digits; every other character dropped.
QString westernDigits(const QString& text);
// Digits cleaned as above and cut to `limit` characters (the phone fields: 10).
QString digitsField(const QString& text, qsizetype limit = 10);
// The IP field: numerals as typed and full stops only, at most 15 characters.
QString ipAddressField(const QString& text);
// Characters that are numerals of any script (others are not counted).
qsizetype numeralCount(const QString& text);

// `values` then `fallback`, each trimmed; blanks and repeats left out, order kept.
QStringList dedup(const QStringList& values, const QString& fallback);

// The server's own lists of each reporter level for the levels above it (not deduplicated).
QStringList serverDepartments(const std::optional<ReporterOptions>& options);
QStringList serverAdmins(const std::optional<ReporterOptions>& options, const QString& department);
QStringList serverDivisions(const std::optional<ReporterOptions>& options, const QString& admin);
QStringList serverSections(const std::optional<ReporterOptions>& options, const QString& admin,
                           const QString& division);

// The four reporter levels, top to bottom.
struct ReporterChain {
    QString department, region, division, section;
    bool operator==(const ReporterChain&) const = default;
};

// Clears the levels below `level` (1, 2 or 3) that the server's lists no longer hold.
ReporterChain normalizeReporterChain(ReporterChain chain, int level,
                                     const std::optional<ReporterOptions>& options);

} // namespace kalvorin::create
