// SPDX-License-Identifier: Apache-2.0
#include "Artwork.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

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

// The face ships in the tree, so the wordmark is drawn the same on every build machine.
QFont wordmarkFont()
{
    static const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/artwork/DejaVuSans-Bold-Ascii.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    // Any other face would silently change the committed logo.
    if (families.isEmpty())
        qFatal("falquin-artwork: cannot load the wordmark font :/artwork/DejaVuSans-Bold-Ascii.ttf");
    QFont font(families.first());
    font.setBold(true);
    font.setPixelSize(64);
    font.setLetterSpacing(QFont::PercentageSpacing, 116);
    // Hinting follows the machine's font settings (macOS has none): unhinted outlines look alike everywhere.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Where the icon's parts go on the 256 px grid. Below 48 px the thin edges and small keys
// of the full drawing blur into the body, so small sizes get a bolder, simpler remote.
struct IconLayout
{
    qreal edge;
    QRectF body;
    qreal bodyRadius;
    int bodyLight;
    int bodyDark;
    qreal bodyEdge;
    QPointF power;
    qreal powerRadius;
    QPointF ring;
    qreal ringRadius;
    qreal ringWidth;
    qreal okRadius;
    QList<qreal> keyRows;
    QList<qreal> keyColumns;
    qreal keyRadius;
};

IconLayout layoutFor(int size)
{
    if (size >= 48) {
        return { 2,
                 QRectF(84, 26, 88, 204),
                 30,
                 0x4a,
                 0x34,
                 1.5,
                 { 150, 50 },
                 6,
                 { 128, 112 },
                 27,
                 11,
                 15,
                 { 170, 200 },
                 { 104, 128, 152 },
                 7.5 };
    }
    return { 8,
             QRectF(68, 18, 120, 220),
             44,
             0x5e,
             0x46,
             0,
             { 158, 48 },
             14,
             { 128, 112 },
             34,
             22,
             16,
             { 194 },
             { 100, 156 },
             14 };
}

} // namespace

QImage appIcon(int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(size) / kIconSize, qreal(size) / kIconSize);
    const IconLayout l = layoutFor(size);

    // The tile: near black, lit slightly from above, with a thin grey edge.
    const QRectF tile(8.5, 8.5, 239, 239);
    QLinearGradient tileFill(tile.topLeft(), tile.bottomLeft());
    tileFill.setColorAt(0, QColor(0x22, 0x22, 0x22));
    tileFill.setColorAt(1, QColor(0x0c, 0x0c, 0x0c));
    p.setPen(QPen(QColor(0x5c, 0x5c, 0x5c), l.edge));
    p.setBrush(tileFill);
    p.drawRoundedRect(tile, 52, 52);

    // The remote, upright in the middle.
    QLinearGradient bodyFill(l.body.topLeft(), l.body.topRight());
    bodyFill.setColorAt(0, QColor(l.bodyLight, l.bodyLight, l.bodyLight));
    bodyFill.setColorAt(1, QColor(l.bodyDark, l.bodyDark, l.bodyDark));
    p.setPen(l.bodyEdge > 0 ? QPen(QColor(0x62, 0x62, 0x62), l.bodyEdge) : QPen(Qt::NoPen));
    p.setBrush(bodyFill);
    p.drawRoundedRect(l.body, l.bodyRadius, l.bodyRadius);

    dot(p, l.power, l.powerRadius, QColor(0xe5, 0x39, 0x35));

    // The navigation ring and its OK button.
    p.setPen(QPen(QColor(0xf2, 0x8c, 0x28), l.ringWidth));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(l.ring, l.ringRadius, l.ringRadius);
    dot(p, l.ring, l.okRadius, QColor(0xd4, 0xd4, 0xd4));

    for (const qreal y : l.keyRows) {
        for (const qreal x : l.keyColumns)
            dot(p, { x, y }, l.keyRadius, QColor(0x8e, 0x8e, 0x8e));
    }
    return image;
}

QByteArray appIconIcns()
{
    // Big-endian lengths; each entry's length counts its own 8-byte header.
    const auto appendBE32 = [](QByteArray &out, quint32 value) {
        char bytes[4];
        qToBigEndian(value, bytes);
        out.append(bytes, sizeof bytes);
    };
    QByteArray entries;
    const std::pair<const char *, int> types[]
        = { { "ic07", 128 }, { "ic08", 256 }, { "ic09", 512 }, { "ic10", 1024 } };
    for (const auto &[type, size] : types) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        appIcon(size).save(&buffer, "PNG");
        entries.append(type, 4);
        appendBE32(entries, quint32(8 + png.size()));
        entries.append(png);
    }
    QByteArray icns("icns");
    appendBE32(icns, quint32(8 + entries.size()));
    return icns + entries;
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
