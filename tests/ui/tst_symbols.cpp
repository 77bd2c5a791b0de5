// Every symbol name a QML file uses must be in the symbol table, and every glyph of the table must
// exist in the bundled Material Icons font.

#include "kalvorinsymbols.h"
#include "kalvorintheme.h"
#include "kalvorinui.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

struct Use {
    int line;
    QString name;
};

// Reads QML the way kalvorinsymbols.h describes: literals given to `icon`, `symbol`, `leading`
// or `trailing`, and to `name` inside a `Symbol { }` element. Comments are skipped; braces are
// counted outside strings so that the enclosing element is known.
QList<Use> symbolUses(const QString& qml) {
    static const QRegularExpression property(
        QStringLiteral("(?<![\\w.])(icon|symbol|leading|trailing|name)\\s*:(?!:)"));
    static const QRegularExpression literal(
        QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\"|'((?:[^'\\\\]|\\\\.)*)'"));
    static const QRegularExpression opener(QStringLiteral("([A-Za-z_][\\w.]*)?\\s*\\{"));

    QList<Use> uses;
    QStringList elements; // element type per open brace ("" for blocks that are not elements)
    bool inBlockComment = false;
    const QStringList lines = qml.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (inBlockComment) {
            const auto end = line.indexOf(QLatin1String("*/"));
            if (end < 0)
                continue;
            line = line.mid(end + 2);
            inBlockComment = false;
        }
        // Blank out string contents (kept for later) and comments, so braces are counted right.
        QString code = line;
        for (qsizetype i = 0; i < code.size(); ++i) {
            const QChar c = code.at(i);
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                qsizetype j = i + 1;
                while (j < code.size() && code.at(j) != c)
                    j += code.at(j) == QLatin1Char('\\') ? 2 : 1;
                for (qsizetype k = i + 1; k < j && k < code.size(); ++k)
                    code[k] = QLatin1Char(' ');
                i = j;
            } else if (code.mid(i, 2) == QLatin1String("//")) {
                code.truncate(i);
                line.truncate(i);
            } else if (code.mid(i, 2) == QLatin1String("/*")) {
                const auto end = code.indexOf(QLatin1String("*/"), i + 2);
                if (end < 0) {
                    inBlockComment = true;
                    code.truncate(i);
                    line.truncate(i);
                } else {
                    for (qsizetype k = i; k < end + 2; ++k)
                        code[k] = QLatin1Char(' ');
                }
            }
        }
        // Walk the statements of the line: braces change the element, properties carry literals.
        qsizetype pos = 0;
        while (pos < code.size()) {
            const auto nextBrace = code.indexOf(QRegularExpression(QStringLiteral("[{}]")), pos);
            const auto propMatch = property.match(code, pos);
            const qsizetype propAt = propMatch.hasMatch() ? propMatch.capturedStart() : -1;
            if (propAt >= 0 && (nextBrace < 0 || propAt < nextBrace)) {
                // The value runs to the next ';', brace, or the end of the line.
                qsizetype end = code.size();
                for (qsizetype k = propMatch.capturedEnd(); k < code.size(); ++k) {
                    const QChar c = code.at(k);
                    if (c == QLatin1Char(';') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
                        end = k;
                        break;
                    }
                }
                const QString key = propMatch.captured(1);
                const bool counts = key != QLatin1String("name") ||
                                    (!elements.isEmpty() && elements.last() == QLatin1String("Symbol"));
                if (counts) {
                    const QString value = line.mid(propMatch.capturedEnd(), end - propMatch.capturedEnd());
                    auto it = literal.globalMatch(value);
                    while (it.hasNext()) {
                        const auto m = it.next();
                        const QString text = m.captured(1).isNull() ? m.captured(2) : m.captured(1);
                        if (!text.isEmpty())
                            uses.append({n + 1, text});
                    }
                }
                pos = end;
                continue;
            }
            if (nextBrace < 0)
                break;
            if (code.at(nextBrace) == QLatin1Char('{')) {
                // The word right before the brace names the element (`Symbol {`), if any.
                const QString before = code.left(nextBrace).trimmed();
                static const QRegularExpression lastWord(QStringLiteral("([A-Za-z_][\\w.]*)$"));
                const auto w = lastWord.match(before);
                QString type = w.hasMatch() ? w.captured(1) : QString();
                if (!type.isEmpty() && !type.at(0).isUpper() && !type.contains(QLatin1Char('.')))
                    type.clear();
                if (type.contains(QLatin1Char('.')))
                    type = type.section(QLatin1Char('.'), -1);
                elements.append(type);
            } else if (!elements.isEmpty()) {
                elements.removeLast();
            }
            pos = nextBrace + 1;
        }
    }
    return uses;
}

} // namespace

class SymbolsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(kalvorin::ui::loadFonts()); }

    void scannerReadsTheConvention_data() {
        QTest::addColumn<QString>("qml");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("icon property")
            << "IconTextField { icon: \"paperclip\"; placeholder: \"x\" }" << QStringList{"paperclip"};
        QTest::newRow("header slots, empty one skipped")
            << "HeaderBar {\n  leading: \"\"\n  trailing: \"arrow.clockwise\"\n}"
            << QStringList{"arrow.clockwise"};
        QTest::newRow("both arms of a choice")
            << "SymbolLabel { symbol: remember ? \"checkmark.square.fill\" : \"square\" }"
            << QStringList{"checkmark.square.fill", "square"};
        QTest::newRow("name inside Symbol, across lines")
            << "Item {\n  Symbol {\n    size: 18\n    name: \"bell.fill\"\n  }\n  Text { text: \"x\" }\n}"
            << QStringList{"bell.fill"};
        QTest::newRow("name outside Symbol is not a symbol")
            << "Item { property string name: \"Ahmed\"; objectName: \"row\" }" << QStringList{};
        QTest::newRow("nested element closes back to Symbol")
            << "T.Symbol {\n  Behavior on color { ColorAnimation {} }\n  name: \"tray\"\n}"
            << QStringList{"tray"};
        QTest::newRow("comments are not code")
            << "// icon: \"ghost\"\n/* trailing: \"ghost2\" */ Item {}" << QStringList{};
        QTest::newRow("grouped icon property is not a symbol")
            << "Button { icon.name: \"document-open\"; icon.source: \"x.png\" }" << QStringList{};
    }
    void scannerReadsTheConvention() {
        QFETCH(QString, qml);
        QFETCH(QStringList, names);
        QStringList found;
        for (const auto& use : symbolUses(qml))
            found << use.name;
        QCOMPARE(found, names);
    }

    // The test that guards the screens: a QML file naming a symbol the table lacks fails here.
    void everySymbolInQmlIsMapped() {
        const QString root = QStringLiteral(KALVORIN_SOURCE_ROOT);
        int files = 0, uses = 0;
        QStringList missing;
        for (const char* dir : {"ui", "app"}) {
            QDirIterator it(root + QLatin1Char('/') + QLatin1String(dir), {QStringLiteral("*.qml")},
                            QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QFile file(path);
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
                ++files;
                for (const auto& use : symbolUses(QString::fromUtf8(file.readAll()))) {
                    ++uses;
                    if (!KalvorinSymbols::has(use.name))
                        missing << QStringLiteral("%1:%2: \"%3\"")
                                       .arg(QDir(root).relativeFilePath(path))
                                       .arg(use.line)
                                       .arg(use.name);
                }
            }
        }
        QVERIFY2(files > 0, "no QML files found under ui/ and app/");
        QVERIFY2(uses > 0, "no symbol names found: the scanner no longer reads the QML");
        QVERIFY2(missing.isEmpty(),
                 qPrintable("symbol names missing from the table:\n" + missing.join('\n')));
    }

    void tableIsWellFormed() {
        QSet<QString> seen;
        for (const auto& row : kalvorin::ui::symbolTable()) {
            const QString name = QString::fromLatin1(row.name);
            QVERIFY2(!seen.contains(name), qPrintable("twice in the table: " + name));
            seen.insert(name);
            QCOMPARE(KalvorinSymbols::codepoint(name), int(row.codepoint));
            QCOMPARE(KalvorinSymbols::glyph(name).toUcs4().value(0), uint(row.codepoint));
        }
        QVERIFY(!KalvorinSymbols::has(QStringLiteral("no.such.symbol")));
        QVERIFY(KalvorinSymbols::glyph(QString()).isEmpty());
    }

    void everyGlyphExistsInTheBundledFont() {
        QFile file(QStringLiteral(":/kalvorin/fonts/MaterialIcons-Regular.ttf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QRawFont font(file.readAll(), 24);
        QVERIFY(font.isValid());
        QCOMPARE(font.familyName(), KalvorinTheme::symbolFontFamily());
        QStringList absent;
        for (const auto& row : kalvorin::ui::symbolTable()) {
            if (!font.supportsCharacter(row.codepoint))
                absent << QStringLiteral("%1 (U+%2 %3)")
                              .arg(QString::fromLatin1(row.name))
                              .arg(uint(row.codepoint), 4, 16, QLatin1Char('0'))
                              .arg(QString::fromLatin1(row.material));
        }
        QVERIFY2(absent.isEmpty(), qPrintable("glyphs missing from Material Icons: " + absent.join(", ")));
    }
};

QTEST_MAIN(SymbolsTest)
#include "tst_symbols.moc"
