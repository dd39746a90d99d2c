// SPDX-License-Identifier: Apache-2.0
#include "Artwork.h"

#include <QTest>

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
