#include "createrules.h"

namespace kalvorin::create {

// Every script's decimal digits count: the Arabic-Indic "٠" to "٩", the Extended Arabic-Indic
// "۰" to "۹", the ASCII ones and any other; everything else is dropped.
QString westernDigits(const QString& text) {
    QString out;
    for (const char32_t c : text.toUcs4()) {
        const int value = QChar::digitValue(c);
        if (value >= 0)
            out += QString::number(value);
    }
    return out;
}

QString digitsField(const QString& text, qsizetype limit) {
    return westernDigits(text).left(limit);
}

QString ipAddressField(const QString& text) {
    constexpr int kLimit = 15;
    QString out;
    int kept = 0;
    for (const char32_t c : text.toUcs4()) {
        if (kept == kLimit)
            break;
        if (c == U'.' || QChar::isNumber(c)) {
            out += QString::fromUcs4(&c, 1);
            ++kept;
        }
    }
    return out;
}

qsizetype numeralCount(const QString& text) {
    qsizetype count = 0;
    for (const char32_t c : text.toUcs4())
        if (QChar::isNumber(c))
            ++count;
    return count;
}

QStringList dedup(const QStringList& values, const QString& fallback) {
    QStringList kept;
    auto keep = [&kept](const QString& value) {
        const QString trimmed = value.trimmed();
        if (!trimmed.isEmpty() && !kept.contains(trimmed))
            kept.append(trimmed);
    };
    for (const QString& value : values)
        keep(value);
    keep(fallback);
    return kept;
}

namespace {
QStringList entry(const std::optional<QMap<QString, QList<QString>>>& map, const QString& key) {
    return map ? map->value(key) : QStringList();
}
} // namespace

QStringList serverDepartments(const std::optional<ReporterOptions>& options) {
    return options && options->departments ? *options->departments : QStringList();
}

QStringList serverAdmins(const std::optional<ReporterOptions>& options, const QString& department) {
    if (!options)
        return {};
    if (options->adminsByDepartment && options->adminsByDepartment->contains(department))
        return options->adminsByDepartment->value(department);
    return options->allAdmins.value_or(QStringList());
}

QStringList serverDivisions(const std::optional<ReporterOptions>& options, const QString& admin) {
    return options ? entry(options->divisionsByAdmin, admin) : QStringList();
}

QStringList serverSections(const std::optional<ReporterOptions>& options, const QString& admin,
                           const QString& division) {
    return options
               ? entry(options->sectionsByAdminDivision, ReporterOptions::adminDivisionKey(admin, division))
               : QStringList();
}

ReporterChain normalizeReporterChain(ReporterChain c, int level,
                                     const std::optional<ReporterOptions>& options) {
    if (level <= 1) {
        if (!c.region.isEmpty() && !serverAdmins(options, c.department).contains(c.region))
            c.region.clear();
        if (c.region.isEmpty()) {
            c.division.clear();
            c.section.clear();
            return c;
        }
    }
    if (level <= 2) {
        if (!c.division.isEmpty() && !serverDivisions(options, c.region).contains(c.division))
            c.division.clear();
        if (c.division.isEmpty()) {
            c.section.clear();
            return c;
        }
    }
    if (!c.section.isEmpty() && !serverSections(options, c.region, c.division).contains(c.section))
        c.section.clear();
    return c;
}

} // namespace kalvorin::create
