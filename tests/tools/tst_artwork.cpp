// SPDX-License-Identifier: Apache-2.0
#include "Artwork.h"

#include <QTest>
#include <QtEndian>

namespace {

int alphaAt(const QImage &image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

// Largest per-channel difference; antialiasing may shift a little between font builds.
int maxDifference(const QImage &a, const QImage &b)
{
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            worst = std::max({ worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                               std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q)) });
        }
    }
    return worst;
}

} // namespace

class ArtworkTest : public QObject
{
    Q_OBJECT

private slots:
    void iconShape()
    {
        const QImage icon = artwork::appIcon();
        QCOMPARE(icon.size(), QSize(artwork::kIconSize, artwork::kIconSize));
        QVERIFY(icon.hasAlphaChannel());
        // Rounded tile: the corners stay see-through, its inside is opaque.
        for (const QPoint corner : { QPoint(0, 0), QPoint(255, 0), QPoint(0, 255), QPoint(255, 255), QPoint(14, 14) })
            QCOMPARE(alphaAt(icon, corner.x(), corner.y()), 0);
        QCOMPARE(alphaAt(icon, 30, 128), 255);
        QCOMPARE(alphaAt(icon, 128, 245), 255);

        const QColor okButton = icon.pixelColor(128, 112);
        QVERIFY(okButton.red() > 180 && okButton.red() == okButton.green());
        const QColor ring = icon.pixelColor(128 + 27, 112);
        QVERIFY2(ring.red() > 200 && ring.blue() < 80, "orange ring around the OK button");
        const QColor power = icon.pixelColor(150, 50);
        QVERIFY2(power.red() > 200 && power.green() < 90, "red dot at the top right");
    }

    // Every installed size is drawn afresh: the tile's corners stay clear, and the orange
    // ring, its light OK button and the red power dot are still there to be seen.
    void iconAtSize_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : artwork::kThemeIconSizes)
            QTest::addRow("%d px", size) << size;
        QTest::newRow("1024 px") << 1024;
    }

    void iconAtSize()
    {
        QFETCH(int, size);
        const QImage icon = artwork::appIcon(size);
        QCOMPARE(icon.size(), QSize(size, size));
        const auto at = [&](qreal x, qreal y) { return icon.pixelColor(int(x * size / 256), int(y * size / 256)); };
        for (const QPointF corner : { QPointF(0, 0), QPointF(255, 0), QPointF(0, 255), QPointF(255, 255) })
            QCOMPARE(at(corner.x(), corner.y()).alpha(), 0);
        QCOMPARE(at(128, 236).alpha(), 255);

        const QColor ok = at(128, 112);
        QVERIFY2(ok.red() > 160 && ok.red() == ok.green(), qPrintable(ok.name()));
        int orange = 0;
        int red = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QColor c = icon.pixelColor(x, y);
                const bool vivid = c.alpha() == 255 && c.hsvSaturation() > 120 && c.value() > 140;
                orange += vivid && c.hsvHue() >= 20 && c.hsvHue() <= 40;
                red += vivid && (c.hsvHue() <= 8 || c.hsvHue() >= 350);
            }
        }
        QVERIFY2(orange >= size * size / 60, qPrintable(QString::number(orange)));
        QVERIFY2(red >= 1, "the power dot is lost");
    }

    // The .icns container: "icns", its total length, then ic07..ic10 holding PNGs of 128 to 1024 px.
    void icnsContainer()
    {
        const QByteArray icns = artwork::appIconIcns();
        QCOMPARE(icns.left(4), QByteArray("icns"));
        QCOMPARE(qFromBigEndian<quint32>(icns.constData() + 4), quint32(icns.size()));
        QStringList seen;
        qsizetype at = 8;
        while (at + 8 <= icns.size()) {
            const QByteArray type = icns.mid(at, 4);
            const quint32 length = qFromBigEndian<quint32>(icns.constData() + at + 4);
            QVERIFY(length > 8 && at + length <= quint32(icns.size()));
            const QByteArray payload = icns.mid(at + 8, length - 8);
            QVERIFY(payload.startsWith("\x89PNG\r\n\x1a\n"));
            const QImage image = QImage::fromData(payload, "PNG");
            seen << QStringLiteral("%1:%2x%3").arg(QString::fromLatin1(type)).arg(image.width()).arg(image.height());
            at += length;
        }
        QCOMPARE(at, icns.size());
        QCOMPARE(seen, QStringList({ "ic07:128x128", "ic08:256x256", "ic09:512x512", "ic10:1024x1024" }));
    }

    void logoShape()
    {
        const QImage logo = artwork::logo();
        QCOMPARE(logo.size(), QSize(artwork::kLogoWidth, artwork::kLogoHeight));
        QVERIFY(logo.hasAlphaChannel());

        // The ink fills the width up to a small margin and leaves the background clear.
        int left = logo.width();
        int right = -1;
        int solid = 0;
        for (int y = 0; y < logo.height(); ++y) {
            for (int x = 0; x < logo.width(); ++x) {
                const QRgb p = logo.pixel(x, y);
                if (qAlpha(p) == 0)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                if (qAlpha(p) == 255) {
                    ++solid;
                    QCOMPARE(qRed(p), 0xd8);
                }
            }
        }
        QVERIFY2(left >= 4 && left <= 24, qPrintable(QString::number(left)));
        QVERIFY2(right >= logo.width() - 25 && right < logo.width() - 4, qPrintable(QString::number(right)));
        QVERIFY2(solid > logo.width() * logo.height() / 10, "letters too thin to read when shown small");
        QVERIFY2(solid < logo.width() * logo.height() / 2, "background must stay transparent");
    }

    // The images in the tree are the generator's output, not stale or hand-edited copies.
    void committedImagesAreCurrent_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QImage>("drawn");
        QTest::newRow("icon") << QStringLiteral("app/app_icon.png") << artwork::appIcon();
        QTest::newRow("logo") << QStringLiteral("qml/images/orvantide_logo.png") << artwork::logo();
    }

    void committedImagesAreCurrent()
    {
        QFETCH(QString, path);
        QFETCH(QImage, drawn);
        const QImage stored(QStringLiteral(FALQUIN_SOURCE_DIR "/") + path);
        QVERIFY2(!stored.isNull(), qPrintable(path));
        QVERIFY(stored.hasAlphaChannel());
        QCOMPARE(stored.size(), drawn.size());
        QVERIFY(maxDifference(stored, drawn) <= 8);
    }
};

QTEST_MAIN(ArtworkTest)
#include "tst_artwork.moc"
