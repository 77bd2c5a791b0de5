#pragma once
// A rounded rectangle with a gradient fill, a gradient outline and a soft shadow, painted once per
// size into a texture. Cards (ProPanel), buttons and form fields are built on it: unlike Material
// shadows it draws the same offscreen, under Xvfb and on a phone.
//
// The shadow is drawn outside the shape, so the item reaches `extent` pixels beyond the shape on
// every side: place it with `anchors.fill: parent; anchors.margins: -extent`.

#include <QColor>
#include <QQuickPaintedItem>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

class SurfaceShape : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY shapeChanged)
    // Gradient stops spread evenly along `direction`; one colour fills flat, none leaves it empty.
    Q_PROPERTY(QVariantList fillColors READ fillColors WRITE setFillColors NOTIFY shapeChanged)
    Q_PROPERTY(QVariantList strokeColors READ strokeColors WRITE setStrokeColors NOTIFY shapeChanged)
    Q_PROPERTY(qreal strokeWidth READ strokeWidth WRITE setStrokeWidth NOTIFY shapeChanged)
    Q_PROPERTY(Direction direction READ direction WRITE setDirection NOTIFY shapeChanged)
    // Whether leading is on the right (bind to LayoutMirroring.enabled).
    Q_PROPERTY(bool mirrored READ mirrored WRITE setMirrored NOTIFY shapeChanged)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor NOTIFY shapeChanged)
    Q_PROPERTY(qreal shadowRadius READ shadowRadius WRITE setShadowRadius NOTIFY shapeChanged)
    Q_PROPERTY(qreal shadowOffsetY READ shadowOffsetY WRITE setShadowOffsetY NOTIFY shapeChanged)
    Q_PROPERTY(qreal extent READ extent NOTIFY shapeChanged)

public:
    enum Direction { TopTrailingToBottomLeading, TopLeadingToBottomTrailing, TopToBottom };
    Q_ENUM(Direction)

    explicit SurfaceShape(QQuickItem* parent = nullptr);

    qreal radius() const { return m_radius; }
    void setRadius(qreal v);
    QVariantList fillColors() const { return m_fill; }
    void setFillColors(const QVariantList& v);
    QVariantList strokeColors() const { return m_stroke; }
    void setStrokeColors(const QVariantList& v);
    qreal strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(qreal v);
    Direction direction() const { return m_direction; }
    void setDirection(Direction v);
    bool mirrored() const { return m_mirrored; }
    void setMirrored(bool v);
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor& v);
    qreal shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(qreal v);
    qreal shadowOffsetY() const { return m_shadowOffsetY; }
    void setShadowOffsetY(qreal v);
    qreal extent() const;

    void paint(QPainter* painter) override;

signals:
    void shapeChanged();

private:
    template <typename T> void assign(T& field, const T& value);

    qreal m_radius = 0;
    QVariantList m_fill;
    QVariantList m_stroke;
    qreal m_strokeWidth = 0;
    Direction m_direction = TopTrailingToBottomLeading;
    bool m_mirrored = false;
    QColor m_shadowColor = Qt::transparent;
    qreal m_shadowRadius = 0;
    qreal m_shadowOffsetY = 0;
};

// A soft round glow: `color` from the centre out to `innerRadius`, fading to clear at
// `outerRadius`, softened by `blur`. Painted once; move it by moving the item.
class GlowSpot : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY glowChanged)
    Q_PROPERTY(qreal innerRadius READ innerRadius WRITE setInnerRadius NOTIFY glowChanged)
    Q_PROPERTY(qreal outerRadius READ outerRadius WRITE setOuterRadius NOTIFY glowChanged)
    Q_PROPERTY(qreal blur READ blur WRITE setBlur NOTIFY glowChanged)

public:
    explicit GlowSpot(QQuickItem* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& v);
    qreal innerRadius() const { return m_inner; }
    void setInnerRadius(qreal v);
    qreal outerRadius() const { return m_outer; }
    void setOuterRadius(qreal v);
    qreal blur() const { return m_blur; }
    void setBlur(qreal v);

    void paint(QPainter* painter) override;

signals:
    void glowChanged();

private:
    QColor m_color = Qt::white;
    qreal m_inner = 20;
    qreal m_outer = 240;
    qreal m_blur = 28;
};
