#pragma once
// The palette and the faces every screen draws with.
//
// C++ rules read the colours through the static accessors (`KalvorinTheme::teal()`); QML reads
// the same values from the `KalvorinTheme` singleton of module Kalvorin.Theme
// (`color: KalvorinTheme.teal`, `font: KalvorinTheme.font(KalvorinTheme.Bold, 16)`).
// Call kalvorin::ui::loadFonts() once at start-up so the "Tajawal" faces and the symbol font exist.

#include <QColor>
#include <QFont>
#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

class KalvorinTheme : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(QColor ink READ ink CONSTANT)
    Q_PROPERTY(QColor navy READ navy CONSTANT)
    Q_PROPERTY(QColor deep READ deep CONSTANT)
    Q_PROPERTY(QColor panel2 READ panel2 CONSTANT)
    Q_PROPERTY(QColor glass READ glass CONSTANT)
    Q_PROPERTY(QColor stroke READ stroke CONSTANT)
    Q_PROPERTY(QColor teal READ teal CONSTANT)
    Q_PROPERTY(QColor green READ green CONSTANT)
    Q_PROPERTY(QColor gold READ gold CONSTANT)
    Q_PROPERTY(QColor orange READ orange CONSTANT)
    Q_PROPERTY(QColor red READ red CONSTANT)
    Q_PROPERTY(QColor blue READ blue CONSTANT)
    Q_PROPERTY(QColor text READ text CONSTANT)
    Q_PROPERTY(QColor muted READ muted CONSTANT)

    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)
    Q_PROPERTY(QString symbolFontFamily READ symbolFontFamily CONSTANT)
    Q_PROPERTY(QUrl titleImage READ titleImage CONSTANT)
    Q_PROPERTY(QUrl markImage READ markImage CONSTANT)

    // Leading and trailing as the screens mean them, right to left: leading is the right edge,
    // trailing the left; a row's first element stands at the right. Every screen and popup runs
    // under LayoutMirroring, which flips an explicit alignment, so leading is written as
    // Qt.AlignLeft and lands at the right. Write these two, never AlignLeft or AlignRight by hand,
    // in a text's horizontalAlignment and a layout's Layout.alignment. Typed text in every input
    // starts at the leading edge.
    Q_PROPERTY(int leading READ leading CONSTANT)
    Q_PROPERTY(int trailing READ trailing CONSTANT)
    // The smallest hit area of anything a finger presses (points): it holds the visible label.
    Q_PROPERTY(int touchTarget READ touchTarget CONSTANT)

public:
    // The three faces, by the weight each is registered with.
    enum Face { Medium = 500, Bold = 700, ExtraBold = 800 };
    Q_ENUM(Face)

    explicit KalvorinTheme(QObject* parent = nullptr);

    static QColor ink();
    static QColor navy();
    static QColor deep();
    static QColor panel2();
    static QColor glass();
    static QColor stroke();
    static QColor teal();
    static QColor green();
    static QColor gold();
    static QColor orange();
    static QColor red();
    static QColor blue();
    static QColor text();
    static QColor muted();

    static int leading() { return Qt::AlignLeft; }
    static int trailing() { return Qt::AlignRight; }
    static int touchTarget() { return 44; }

    static QString fontFamily();       // "Tajawal"
    static QString symbolFontFamily(); // "Material Icons"
    static QUrl titleImage();          // the word-mark "KalvorinTitle"
    static QUrl markImage();           // the emblem "KalvorinMark"

    // "Tajawal" at the weight of `face`, sized in pixels (the screens' points).
    Q_INVOKABLE static QFont font(Face face, qreal pixelSize);
    // The face names the screens are written with: "Tajawal-Medium", "Tajawal-Bold", "Tajawal-ExtraBold".
    Q_INVOKABLE static QFont fontNamed(const QString& faceName, qreal pixelSize);
    // `color` with its alpha replaced: KalvorinTheme.alpha(KalvorinTheme.teal, 0.45).
    Q_INVOKABLE static QColor alpha(const QColor& color, qreal opacity);
    // The colour of a rule's tone (kalvorin::Tone, core/tone.h): KalvorinTheme.tone(model.tint).
    Q_INVOKABLE static QColor tone(int tone);
};
