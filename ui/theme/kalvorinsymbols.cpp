#include "kalvorinsymbols.h"

#include <QHash>

namespace kalvorin::ui {

namespace {

// Name used by the screens → Material Icons glyph. Where Material has no exact twin, the row
// picks the glyph a user reads the same way (the Material name is kept beside each code point).
constexpr SymbolGlyph kTable[] = {
    // Tab bar, header and More screen
    {"house.fill", 0xe88a, "home"},
    {"ticket.fill", 0xe638, "confirmation_number"},
    {"plus", 0xe145, "add"},
    {"bell.fill", 0xe7f4, "notifications"},
    {"bell", 0xe7f5, "notifications_none"},
    {"ellipsis", 0xe5d3, "more_horiz"},
    {"gearshape", 0xe8b8, "settings"},
    {"gearshape.fill", 0xe8b8, "settings"},
    {"arrow.clockwise", 0xe5d5, "refresh"},
    {"arrow.right", 0xe5c8, "arrow_forward"},
    {"network", 0xeb2f, "lan"},
    {"rectangle.portrait.and.arrow.right", 0xe9ba, "logout"},
    // Sign-in
    {"person", 0xe7ff, "person_outline"},
    {"lock", 0xe899, "lock_outline"},
    {"eye", 0xe8f4, "visibility"},
    {"eye.slash", 0xe8f5, "visibility_off"},
    {"checkmark.square.fill", 0xe834, "check_box"},
    {"square", 0xe835, "check_box_outline_blank"},
    // Dashboard, tickets, notifications
    {"tray.full", 0xe97f, "all_inbox"},
    {"tray", 0xe156, "inbox"},
    {"exclamationmark.triangle", 0xf083, "warning_amber"},
    {"checkmark.circle", 0xe92d, "check_circle_outline"},
    {"magnifyingglass", 0xe8b6, "search"},
    {"chevron.down", 0xe5cf, "expand_more"},
    {"paperclip", 0xe226, "attach_file"},
    // New-ticket form
    {"number", 0xe9ef, "tag"},
    {"person.crop.rectangle", 0xe851, "account_box"},
    {"person.text.rectangle", 0xea67, "badge"},
    {"envelope", 0xe0e1, "mail_outline"},
    {"phone", 0xe0cd, "phone"},
    {"iphone", 0xe32c, "smartphone"},
    {"phone.connection", 0xe61d, "phone_in_talk"},
    {"building.2", 0xe7ee, "domain"},
    {"building.columns", 0xe84f, "account_balance"},
    {"building.2.crop.circle", 0xe7f1, "location_city"},
    {"square.3.layers.3d", 0xe53b, "layers"},
    {"person.3.sequence", 0xf233, "groups"},
    {"lock.shield", 0xe32a, "security"},
    {"text.badge.plus", 0xe03b, "playlist_add"},
    {"person.2", 0xe7ef, "group"},
    {"text.quote", 0xe244, "format_quote"},
    {"plus.circle", 0xe148, "add_circle_outline"},
    {"doc.fill", 0xe24d, "insert_drive_file"},
    {"xmark.circle.fill", 0xe5c9, "cancel"},
    // Ticket detail, actions and attachments
    {"checkmark", 0xe5ca, "check"},
    {"arrowshape.turn.up.left", 0xe15e, "reply"},
    {"bubble.right", 0xe0cb, "chat_bubble_outline"},
    {"xmark.octagon", 0xe99a, "dangerous"},
    {"person.crop.circle.badge.exclamationmark", 0xe8d3, "supervisor_account"},
    {"key", 0xe73c, "key"},
    {"paperclip.circle.fill", 0xe2bc, "attachment"},
    {"checkmark.seal.fill", 0xef76, "verified"},
    {"square.and.arrow.up", 0xe6b8, "ios_share"},
    // Plain controls the screens may need around sheets and menus
    {"xmark", 0xe5cd, "close"},
    {"chevron.up", 0xe5ce, "expand_less"},
    {"chevron.left", 0xe5cb, "chevron_left"},
    {"chevron.right", 0xe5cc, "chevron_right"},
    {"arrow.left", 0xe5c4, "arrow_back"},
};

const QHash<QString, char32_t>& index() {
    static const QHash<QString, char32_t> map = [] {
        QHash<QString, char32_t> m;
        for (const auto& row : kTable)
            m.insert(QString::fromLatin1(row.name), row.codepoint);
        return m;
    }();
    return map;
}

} // namespace

QList<SymbolGlyph> symbolTable() {
    return QList<SymbolGlyph>(std::begin(kTable), std::end(kTable));
}

std::optional<char32_t> symbolCodepoint(QStringView name) {
    const auto& map = index();
    const auto it = map.constFind(name.toString());
    if (it == map.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace kalvorin::ui

KalvorinSymbols::KalvorinSymbols(QObject* parent) : QObject(parent) {}

bool KalvorinSymbols::has(const QString& name) {
    return kalvorin::ui::symbolCodepoint(name).has_value();
}

QString KalvorinSymbols::glyph(const QString& name) {
    const auto cp = kalvorin::ui::symbolCodepoint(name);
    if (!cp)
        return {};
    const char32_t ucs4[] = {*cp};
    return QString::fromUcs4(ucs4, 1);
}

int KalvorinSymbols::codepoint(const QString& name) {
    return static_cast<int>(kalvorin::ui::symbolCodepoint(name).value_or(0));
}

QStringList KalvorinSymbols::names() {
    QStringList out;
    for (const auto& row : kalvorin::ui::symbolTable())
        out << QString::fromLatin1(row.name);
    return out;
}
