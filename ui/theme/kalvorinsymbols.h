#pragma once
// THE symbol table: every symbol name the client draws, mapped to the Material Icons glyph that
// means the same thing. Screens keep the platform's symbol-image names ("bell.fill",
// "checkmark.square.fill", ...) and draw them with the QML `Symbol` component; this table is the
// only place that knows which glyph stands for which name.
//
// How symbol names are written in QML (the symbol-coverage test in tests/ui reads QML this way):
//   * a string literal given to a property named `icon`, `symbol`, `leading` or `trailing`, on the
//     same line as the property (`icon: "paperclip"`, `trailing: "arrow.clockwise"`,
//     `symbol: remember ? "checkmark.square.fill" : "square"`), or
//   * a string literal given to `name` inside a `Symbol { ... }` element.
// Every non-empty literal found there must be a name of this table. Keep symbol names in those
// properties (not in helper functions) so that the test sees them; C++ rules that hand out symbol
// names test them with KalvorinSymbols::has().
//
// Adding a name: add one row to the table in kalvorinsymbols.cpp; the font test checks that the
// glyph exists in the bundled Material Icons font.

#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace kalvorin::ui {

struct SymbolGlyph {
    const char* name;     // the symbol name the screens use
    char32_t codepoint;   // the Material Icons glyph
    const char* material; // the glyph's Material Icons name, for the reader
};

// The whole table, in the order it is written.
QList<SymbolGlyph> symbolTable();
std::optional<char32_t> symbolCodepoint(QStringView name);

} // namespace kalvorin::ui

class KalvorinSymbols : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QStringList names READ names CONSTANT)

public:
    explicit KalvorinSymbols(QObject* parent = nullptr);

    Q_INVOKABLE static bool has(const QString& name);
    // The glyph text to draw with the symbol font; empty for an unknown or empty name.
    Q_INVOKABLE static QString glyph(const QString& name);
    // The glyph's code point; 0 for an unknown name.
    Q_INVOKABLE static int codepoint(const QString& name);
    static QStringList names();
};
