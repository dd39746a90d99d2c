// SPDX-License-Identifier: Apache-2.0
// What the app's build compiles into its resources: the module file and the resource
// listings rcc reads, taken from the app's own build, and the files they name.
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QRawFont>
#include <QRegularExpression>
#include <QTest>

namespace {
QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// alias -> source path of every file listed in the app's .qrc files.
QMap<QString, QString> resourceListing()
{
    QMap<QString, QString> listing;
    const QRegularExpression entry(QStringLiteral("<file alias=\"([^\"]+)\">([^<]+)</file>"));
    for (const char *name : { "falquin_raw_qml_0.qrc", "qmake_Falquin.qrc", "app_icon.qrc" }) {
        const QString qrc = QString::fromUtf8(readFile(QStringLiteral(FALQUIN_RCC_DIR "/") + QLatin1String(name)));
        for (auto it = entry.globalMatch(qrc); it.hasNext();) {
            const auto match = it.next();
            listing.insert(match.captured(1), match.captured(2));
        }
    }
    return listing;
}
} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void moduleFile();
    void resourcePaths();
    void iconFontHasEveryGlyph();
    void images();
};

void TestResources::moduleFile()
{
    const QByteArray qmldir = readFile(QStringLiteral(FALQUIN_QMLDIR));
    QVERIFY(!qmldir.isEmpty());
    const QList<QByteArray> lines = qmldir.split('\n');
    for (const char *line : { "module Falquin", "typeinfo Falquin.qmltypes", "prefer :/", "depends QtQuick",
                              "singleton Glyphs 1.0 qml/Glyphs.qml" })
        QVERIFY2(lines.contains(line), line);
    for (const char *type : { "Main", "RemoteBody", "RemoteButton", "DPad", "NumberPad", "StatusLed", "DevicePicker" })
        QVERIFY2(lines.contains(QByteArray(type) + " 1.0 qml/" + type + ".qml"), type);
}

void TestResources::resourcePaths()
{
    const QMap<QString, QString> listing = resourceListing();
    QCOMPARE(listing.value("qmldir"), QStringLiteral(FALQUIN_QMLDIR));
    const QStringList expected = { "qml/Main.qml",
                                   "qml/RemoteBody.qml",
                                   "qml/RemoteButton.qml",
                                   "qml/DPad.qml",
                                   "qml/NumberPad.qml",
                                   "qml/StatusLed.qml",
                                   "qml/DevicePicker.qml",
                                   "qml/Glyphs.qml",
                                   "qml/fonts/MaterialSymbolsRounded-Regular.ttf",
                                   "qml/images/orvantide_logo.png",
                                   "app_icon.png" };
    for (const QString &alias : expected)
        QVERIFY2(listing.contains(alias) && QFile::exists(listing.value(alias)), qPrintable(alias));
}

void TestResources::iconFontHasEveryGlyph()
{
    const QString font = resourceListing().value("qml/fonts/MaterialSymbolsRounded-Regular.ttf");
    const int id = QFontDatabase::addApplicationFont(font);
    QVERIFY(id >= 0);
    QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList("Material Symbols Rounded"));
    const QRawFont raw(font, 24);
    QVERIFY(raw.isValid());
    for (char32_t codePoint : { 0xE8AC, 0xE04F, 0xE166, 0xE316, 0xE313, 0xE314, 0xE315, 0xE037, 0xE034, 0xE8B8 })
        QVERIFY2(raw.supportsCharacter(QChar(codePoint)), qPrintable(QString::number(codePoint, 16)));
    QVERIFY(!raw.supportsCharacter(QChar(0xE000 - 1))); // a code point the font does not cover
}

void TestResources::images()
{
    const QMap<QString, QString> listing = resourceListing();
    const QImage icon(listing.value("app_icon.png"));
    QCOMPARE(icon.size(), QSize(256, 256));
    QVERIFY(icon.hasAlphaChannel());
    const QImage logo(listing.value("qml/images/orvantide_logo.png"));
    QCOMPARE(logo.size(), QSize(600, 104));
    QVERIFY(logo.hasAlphaChannel());
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
