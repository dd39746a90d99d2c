// SPDX-License-Identifier: Apache-2.0
#include "Artwork.h"

#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void dot(QPainter &p, QPointF centre, qreal radius, const QColor &colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
}

// A bundled-with-Debian face, so the wordmark looks the same on every build machine.
QFont wordmarkFont()
{
    static const int id
        = QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    QFont font(families.isEmpty() ? QStringLiteral("sans-serif") : families.first());
    font.setBold(true);
    font.setPixelSize(64);
    font.setLetterSpacing(QFont::PercentageSpacing, 116);
    return font;
}

} // namespace

QImage appIcon()
{
    QImage image = blank(kIconSize, kIconSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The tile: near black, lit slightly from above, with a thin grey edge.
    const QRectF tile(8.5, 8.5, 239, 239);
    QLinearGradient tileFill(tile.topLeft(), tile.bottomLeft());
    tileFill.setColorAt(0, QColor(0x22, 0x22, 0x22));
    tileFill.setColorAt(1, QColor(0x0c, 0x0c, 0x0c));
    p.setPen(QPen(QColor(0x5c, 0x5c, 0x5c), 2));
    p.setBrush(tileFill);
    p.drawRoundedRect(tile, 52, 52);

    // The remote, upright in the middle.
    const QRectF body(84, 26, 88, 204);
    QLinearGradient bodyFill(body.topLeft(), body.topRight());
    bodyFill.setColorAt(0, QColor(0x4a, 0x4a, 0x4a));
    bodyFill.setColorAt(1, QColor(0x34, 0x34, 0x34));
    p.setPen(QPen(QColor(0x62, 0x62, 0x62), 1.5));
    p.setBrush(bodyFill);
    p.drawRoundedRect(body, 30, 30);

    dot(p, { 150, 50 }, 6, QColor(0xe5, 0x39, 0x35));

    // The navigation ring and its OK button.
    const QPointF ring(128, 112);
    p.setPen(QPen(QColor(0xf2, 0x8c, 0x28), 11));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(ring, 27, 27);
    dot(p, ring, 15, QColor(0xd4, 0xd4, 0xd4));

    for (const qreal y : { 170.0, 200.0 }) {
        for (const qreal x : { 104.0, 128.0, 152.0 })
            dot(p, { x, y }, 7.5, QColor(0x8e, 0x8e, 0x8e));
    }
    return image;
}

QImage logo()
{
    QImage image = blank(kLogoWidth, kLogoHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Fit the glyph outlines themselves, not the font's metrics, to the width.
    QPainterPath text;
    text.addText(0, 0, wordmarkFont(), QStringLiteral("ORVANTIDE"));
    const QRectF ink = text.boundingRect();
    const qreal margin = 14;
    const qreal scale = (kLogoWidth - 2 * margin) / ink.width();
    const qreal inkHeight = ink.height() * scale;

    // A thin rule under the letters; thick enough to survive being shown at a third of the size.
    const qreal gap = 9;
    const qreal rule = 3;
    const qreal top = (kLogoHeight - inkHeight - gap - rule) / 2;

    QTransform place;
    place.translate(margin, top);
    place.scale(scale, scale);
    place.translate(-ink.left(), -ink.top());

    const QColor grey(0xd8, 0xd8, 0xd8);
    p.setPen(Qt::NoPen);
    p.setBrush(grey);
    p.drawPath(place.map(text));

    QColor faint = grey;
    faint.setAlphaF(0.45);
    p.setBrush(faint);
    p.drawRect(QRectF(margin, top + inkHeight + gap, kLogoWidth - 2 * margin, rule));
    return image;
}

} // namespace artwork
