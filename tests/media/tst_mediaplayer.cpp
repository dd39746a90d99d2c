// SPDX-License-Identifier: Apache-2.0
// What each call to the player sends, asked over a real bus: a dbus-daemon of the test's own,
// never the session's.
#include "Identity.h"
#include "KeySender.h"
#include "MediaPlayer.h"
#include "Settings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

class TestMediaPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void callsSendTheirKey_data();
    void callsSendTheirKey();
    void aSecondPlayerTakesAnInstanceName();

private:
    QProcess m_daemon; // killed by its destructor, after the player left the bus
    QString m_address;
    Settings m_settings;
    KeySender m_keySender;
    MediaPlayer m_player { &m_keySender, &m_settings };
    QDBusConnection m_client { QString() };
};

void TestMediaPlayer::initTestCase()
{
    identity::apply();
    m_daemon.start(QStringLiteral("dbus-daemon"), { "--session", "--nofork", "--print-address=1" });
    QVERIFY2(m_daemon.waitForReadyRead(10000), "no dbus-daemon (package dbus-daemon)");
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    m_client = QDBusConnection::connectToBus(m_address, QStringLiteral("client"));

    // Loopback in the test's namespace: every key that passes goes out and says keySent.
    m_keySender.setHost(QStringLiteral("127.0.0.1"));
    m_player.start(QDBusConnection::connectToBus(m_address, QStringLiteral("player")));
    QCOMPARE(m_player.serviceName(), QStringLiteral("org.mpris.MediaPlayer2.falquin"));
}

void TestMediaPlayer::callsSendTheirKey_data()
{
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<int>("calls"); // at once, none awaiting the last's reply
    QTest::addColumn<QString>("key"); // each call's; "" for none
    QTest::addColumn<bool>("refused");
    const QString player = QStringLiteral("org.mpris.MediaPlayer2.Player");
    const QVariantList none;
    QTest::newRow("PlayPause") << player << "PlayPause" << none << 1 << "ok" << false;
    QTest::newRow("Play") << player << "Play" << none << 1 << "ok" << false;
    QTest::newRow("Pause") << player << "Pause" << none << 1 << "ok" << false;
    QTest::newRow("Next") << player << "Next" << none << 1 << "right" << false;
    QTest::newRow("Previous") << player << "Previous" << none << 1 << "left" << false;
    QTest::newRow("Seek forward") << player << "Seek" << QVariantList { qlonglong(45000000) } << 1 << "right" << false;
    QTest::newRow("Seek back") << player << "Seek" << QVariantList { qlonglong(-10000000) } << 1 << "left" << false;
    QTest::newRow("Seek by nothing") << player << "Seek" << QVariantList { qlonglong(0) } << 1 << "" << false;
    QTest::newRow("Stop") << player << "Stop" << none << 1 << "" << false;
    QTest::newRow("SetPosition")
        << player << "SetPosition"
        << QVariantList { QVariant::fromValue(QDBusObjectPath("/com/orvantide/Falquin/ChosenBox")), qlonglong(0) } << 1
        << "" << false;
    QTest::newRow("OpenUri") << player << "OpenUri" << QVariantList { "file:///tmp/film.ts" } << 1 << "" << false;
    // A held media key: every call is its key, none merged or dropped.
    QTest::newRow("Next, repeated") << player << "Next" << none << 40 << "right" << false;
    QTest::newRow("Seek by a string") << player << "Seek" << QVariantList { "10000000" } << 1 << "" << true;
    QTest::newRow("Next with an argument") << player << "Next" << QVariantList { qlonglong(1) } << 1 << "" << true;
    QTest::newRow("unknown method") << player << "FastForward" << none << 1 << "" << true;
    QTest::newRow("property write") << "org.freedesktop.DBus.Properties"
                                    << "Set"
                                    << QVariantList { player, "PlaybackStatus",
                                                      QVariant::fromValue(QDBusVariant("Playing")) }
                                    << 1 << "" << true;
}

void TestMediaPlayer::callsSendTheirKey()
{
    QFETCH(QString, interface);
    QFETCH(QString, method);
    QFETCH(QVariantList, args);
    QFETCH(int, calls);
    QFETCH(QString, key);
    QFETCH(bool, refused);
    QSignalSpy sent(&m_keySender, &KeySender::keySent);
    QDBusMessage message = QDBusMessage::createMethodCall(m_player.serviceName(),
                                                          QStringLiteral("/org/mpris/MediaPlayer2"), interface, method);
    message.setArguments(args);
    QList<QDBusPendingCall> replies;
    for (int i = 0; i < calls; ++i)
        replies << m_client.asyncCall(message);
    for (QDBusPendingCall &reply : replies) {
        // Not waitForFinished(): it would block the thread the player answers on.
        QTRY_VERIFY(reply.isFinished());
        QCOMPARE(reply.isError(), refused);
    }
    // Every reply comes after its call's key went out.
    QCOMPARE(sent.count(), key.isEmpty() ? 0 : calls);
    for (const QList<QVariant> &keys : sent)
        QCOMPARE(keys.first().toString(), key);
}

void TestMediaPlayer::aSecondPlayerTakesAnInstanceName()
{
    MediaPlayer second(&m_keySender, &m_settings);
    second.start(QDBusConnection::connectToBus(m_address, QStringLiteral("second")));
    QCOMPARE(second.serviceName(),
             QStringLiteral("org.mpris.MediaPlayer2.falquin.instance%1").arg(QCoreApplication::applicationPid()));
}

QTEST_GUILESS_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
