#include "kalvorintheme.h"

#include "core/tone.h"

namespace {

// Each colour is built once, on first use, and shared afterwards.
QColor rgb(float r, float g, float b, float a = 1.0f) {
    return QColor::fromRgbF(r, g, b, a);
}

} // namespace

KalvorinTheme::KalvorinTheme(QObject* parent) : QObject(parent) {}

QColor KalvorinTheme::ink() {
    static const QColor c = rgb(0.004f, 0.026f, 0.052f);
    return c;
}
QColor KalvorinTheme::navy() {
    static const QColor c = rgb(0.012f, 0.075f, 0.128f);
    return c;
}
QColor KalvorinTheme::deep() {
    static const QColor c = rgb(0.001f, 0.014f, 0.033f);
    return c;
}
QColor KalvorinTheme::panel2() {
    static const QColor c = rgb(0.022f, 0.082f, 0.142f);
    return c;
}
QColor KalvorinTheme::glass() {
    static const QColor c = rgb(0.07f, 0.16f, 0.235f);
    return c;
}
QColor KalvorinTheme::stroke() {
    static const QColor c = rgb(1.0f, 1.0f, 1.0f, 0.135f);
    return c;
}
QColor KalvorinTheme::teal() {
    static const QColor c = rgb(0.04f, 0.7f, 0.66f);
    return c;
}
QColor KalvorinTheme::green() {
    static const QColor c = rgb(0.17f, 0.78f, 0.43f);
    return c;
}
QColor KalvorinTheme::gold() {
    static const QColor c = rgb(0.9f, 0.68f, 0.28f);
    return c;
}
QColor KalvorinTheme::orange() {
    static const QColor c = rgb(0.95f, 0.42f, 0.08f);
    return c;
}
QColor KalvorinTheme::red() {
    static const QColor c = rgb(0.9f, 0.18f, 0.2f);
    return c;
}
QColor KalvorinTheme::blue() {
    static const QColor c = rgb(0.08f, 0.37f, 0.72f);
    return c;
}
QColor KalvorinTheme::text() {
    static const QColor c = rgb(0.94f, 0.98f, 1.0f);
    return c;
}
QColor KalvorinTheme::muted() {
    static const QColor c = rgb(0.64f, 0.73f, 0.82f);
    return c;
}

QString KalvorinTheme::fontFamily() {
    return QStringLiteral("Tajawal");
}
QString KalvorinTheme::symbolFontFamily() {
    return QStringLiteral("Material Icons");
}
QUrl KalvorinTheme::titleImage() {
    return QUrl(QStringLiteral("qrc:/kalvorin/images/KalvorinTitle.svg"));
}
QUrl KalvorinTheme::markImage() {
    return QUrl(QStringLiteral("qrc:/kalvorin/images/KalvorinMark.svg"));
}

QFont KalvorinTheme::font(Face face, qreal pixelSize) {
    QFont f(fontFamily());
    f.setWeight(static_cast<QFont::Weight>(face));
    f.setStyleName(QString()); // choose by weight, never by a style name the file may spell differently
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    return f;
}

QFont KalvorinTheme::fontNamed(const QString& faceName, qreal pixelSize) {
    if (faceName == QLatin1String("Tajawal-ExtraBold"))
        return font(ExtraBold, pixelSize);
    if (faceName == QLatin1String("Tajawal-Bold"))
        return font(Bold, pixelSize);
    return font(Medium, pixelSize);
}

QColor KalvorinTheme::tone(int tone) {
    switch (kalvorin::Tone(tone)) {
    case kalvorin::Tone::Teal:
        return teal();
    case kalvorin::Tone::Green:
        return green();
    case kalvorin::Tone::Gold:
        return gold();
    case kalvorin::Tone::Orange:
        return orange();
    case kalvorin::Tone::Red:
        return red();
    case kalvorin::Tone::Blue:
        return blue();
    case kalvorin::Tone::Muted:
        break;
    }
    return muted();
}

QColor KalvorinTheme::alpha(const QColor& color, qreal opacity) {
    QColor c = color;
    c.setAlphaF(static_cast<float>(qBound(0.0, opacity, 1.0)));
    return c;
}
