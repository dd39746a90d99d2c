// SPDX-License-Identifier: Apache-2.0
#include "Identity.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QSettings().clear(); }
    void missingKeysReadEmpty();
    void writeIsOnRecordBeforeTheSignal();
    void equalWritesDoNothing();
    void readsAreNeverCached();
};

void TestSettings::initTestCase()
{
    identity::apply();
    // Never the developer's own store: the runner hands us a private config home.
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY2(!home.isEmpty() && QSettings().fileName() == home + "/Orvantide/Falquin.conf",
             qPrintable(QSettings().fileName()));
}

void TestSettings::missingKeysReadEmpty()
{
    Settings settings;
    QCOMPARE(settings.lastDeviceIp(), QString());
    QCOMPARE(settings.lastDeviceName(), QString());
    QCOMPARE(settings.lastDeviceId(), QString());
}

void TestSettings::writeIsOnRecordBeforeTheSignal()
{
    Settings settings;
    QStringList seen;
    connect(&settings, &Settings::lastDeviceIpChanged, this,
            [&] { seen << QSettings().value("lastDeviceIp").toString(); });
    connect(&settings, &Settings::lastDeviceNameChanged, this,
            [&] { seen << QSettings().value("lastDeviceName").toString(); });
    connect(&settings, &Settings::lastDeviceIdChanged, this,
            [&] { seen << QSettings().value("lastDeviceId").toString(); });

    settings.setLastDeviceIp(QStringLiteral("192.168.1.50"));
    settings.setLastDeviceName(QStringLiteral("Living room"));
    settings.setLastDeviceId(QStringLiteral("0e0b0c5151a2"));
    QCOMPARE(seen, QStringList({ "192.168.1.50", "Living room", "0e0b0c5151a2" }));
    QCOMPARE(settings.lastDeviceIp(), QStringLiteral("192.168.1.50"));
    // Case matters: a different spelling is a different value.
    settings.setLastDeviceName(QStringLiteral("living room"));
    QCOMPARE(seen.size(), 4);
    settings.setLastDeviceId(QStringLiteral("0e0b0c5151a2"));
    QCOMPARE(seen.size(), 4);
}

void TestSettings::equalWritesDoNothing()
{
    Settings settings;
    QSignalSpy ipChanged(&settings, &Settings::lastDeviceIpChanged);
    QSignalSpy nameChanged(&settings, &Settings::lastDeviceNameChanged);

    // An empty name when the key is missing: nothing written, nothing said.
    settings.setLastDeviceName(QString());
    QCOMPARE(nameChanged.count(), 0);
    QVERIFY(!QSettings().contains("lastDeviceName"));

    settings.setLastDeviceIp(QStringLiteral("10.0.0.2"));
    QCOMPARE(ipChanged.count(), 1);
    const QString file = QSettings().fileName();
    const QByteArray before = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const QDateTime modified = QFileInfo(file).lastModified();
    QTest::qWait(20);
    settings.setLastDeviceIp(QStringLiteral("10.0.0.2"));
    QCOMPARE(ipChanged.count(), 1);
    QCOMPARE(QFileInfo(file).lastModified(), modified);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
}

void TestSettings::readsAreNeverCached()
{
    Settings settings;
    settings.setLastDeviceIp(QStringLiteral("10.0.0.2"));
    QSettings().setValue("lastDeviceIp", "10.0.0.3");
    QCOMPARE(settings.lastDeviceIp(), QStringLiteral("10.0.0.3"));
    Settings other;
    QCOMPARE(other.lastDeviceIp(), QStringLiteral("10.0.0.3"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
