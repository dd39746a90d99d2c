// SPDX-License-Identifier: Apache-2.0
// What the scene library compiles into the resources of every binary that links it (the app
// among them): the module file, the documents and the files they name.
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QRawFont>
#include <QTest>

namespace {
QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    const QByteArray qmldir = readFile(QStringLiteral(":/Falquin/qmldir"));
    QVERIFY2(!qmldir.isEmpty(), "the module file is not in the resources");
    const QList<QByteArray> lines = qmldir.split('\n');
    for (const char *line : { "module Falquin", "typeinfo Falquin.qmltypes", "prefer :/Falquin/", "depends QtQuick",
                              "singleton Glyphs 1.0 Glyphs.qml" })
        QVERIFY2(lines.contains(line), line);
    for (const char *type : { "Main", "RemoteBody", "RemoteButton", "DPad", "NumberPad", "StatusLed", "DevicePicker" })
        QVERIFY2(lines.contains(QByteArray(type) + " 1.0 " + type + ".qml"), type);
}

void TestResources::resourcePaths()
{
    const QStringList expected = { ":/Falquin/Main.qml",
                                   ":/Falquin/RemoteBody.qml",
                                   ":/Falquin/RemoteButton.qml",
                                   ":/Falquin/DPad.qml",
                                   ":/Falquin/NumberPad.qml",
                                   ":/Falquin/StatusLed.qml",
                                   ":/Falquin/DevicePicker.qml",
                                   ":/Falquin/Glyphs.qml",
                                   ":/Falquin/fonts/MaterialSymbolsRounded-Regular.ttf",
                                   ":/Falquin/images/orvantide_logo.png",
                                   ":/app_icon.png",
                                   ":/i18n/falquin_de.qm" };
    for (const QString &path : expected)
        QVERIFY2(QFile::exists(path), qPrintable(path + " is missing from the resources"));
}

void TestResources::iconFontHasEveryGlyph()
{
    const QString font = QStringLiteral(":/Falquin/fonts/MaterialSymbolsRounded-Regular.ttf");
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
    const QImage icon(QStringLiteral(":/app_icon.png"));
    QCOMPARE(icon.size(), QSize(256, 256));
    QVERIFY(icon.hasAlphaChannel());
    const QImage logo(QStringLiteral(":/Falquin/images/orvantide_logo.png"));
    QCOMPARE(logo.size(), QSize(600, 104));
    QVERIFY(logo.hasAlphaChannel());
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
