// SPDX-License-Identifier: Apache-2.0
// The discovery message on the wire, and this client's identity.
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "ImgrMsg.h"
#include "RemoteDeviceModel.h"

#include <QMetaMethod>
#include <QtTest>

class TestImgrMsg : public QObject
{
    Q_OBJECT

private slots:
    void discoverRequestBytes()
    {
        const DeviceIdentity identity;
        const QByteArray packed
            = imgr::makeDiscover(identity.deviceIdBytes(), "Falquin", QStringLiteral("192.168.1.23")).pack();
        QByteArray expected = QByteArray::fromHex("5765786100030001");
        expected += QByteArray("726d74636c69") + QByteArray(4, '\0');
        expected += QByteArray("192.168.1.23") + QByteArray(4, '\0');
        expected += QByteArray("Falquin") + QByteArray(9, '\0');
        expected += QByteArray(36, '\0');
        QCOMPARE(packed.size(), 92);
        QCOMPARE(packed.toHex(' '), expected.toHex(' '));
    }

    void overlongTextIsCutAndReadWhole()
    {
        imgr::ImgrMsg msg;
        msg.name = "ABCDEFGHIJKLMNOPQRST"; // 20 bytes
        msg.deviceModel = "model";
        const QByteArray packed = msg.pack();
        QCOMPARE(packed.size(), 92);
        QCOMPARE(packed.mid(40, 16), QByteArray("ABCDEFGHIJKLMNOP"));
        QCOMPARE(packed.mid(56, 6), QByteArray("model\0", 6)); // the next field is untouched

        imgr::ImgrMsg back;
        QVERIFY(imgr::ImgrMsg::unpack(packed, back));
        QCOMPARE(back.name.size(), 16);
        QCOMPARE(imgr::ImgrMsg::trimmed(back.name), QStringLiteral("ABCDEFGHIJKLMNOP"));
        QCOMPARE(back.deviceModel, QByteArray("model").append(11, '\0')); // raw field, fill included
    }

    void unpackRefusesShortOrForeignData()
    {
        imgr::ImgrMsg sentinel;
        sentinel.msgType = 7;
        sentinel.name = "untouched";
        const QByteArray valid = imgr::makeDiscover("id", "n", QStringLiteral("1.2.3.4")).pack();

        imgr::ImgrMsg out = sentinel;
        QVERIFY(!imgr::ImgrMsg::unpack(valid.left(91), out));
        QCOMPARE(out.msgType, quint8(7));
        QCOMPARE(out.name, QByteArray("untouched"));

        QByteArray wrongMagic = valid;
        wrongMagic[0] = 'w';
        QVERIFY(!imgr::ImgrMsg::unpack(wrongMagic, out));
        QCOMPARE(out.msgType, quint8(7));
        QCOMPARE(out.name, QByteArray("untouched"));
        QVERIFY(!imgr::ImgrMsg::unpack(QByteArray(), out));
    }

    void unpackReadsEveryField()
    {
        QByteArray data = imgr::makeDiscover("box-1", "Lounge", QStringLiteral("10.0.0.9")).pack();
        data[4] = char(0x11);
        data[6] = char(0x03);
        data[7] = char(0x22);
        data[72] = char(255);
        data[73] = char(2);
        data[74] = char(0x33);
        data[75] = char(0x44);
        data.replace(76, 4, QByteArray::fromHex("00000102"));
        data.replace(88, 4, QByteArray::fromHex("fffffffe"));
        data.append(28, 'x'); // 120 bytes: the tail is ignored

        imgr::ImgrMsg msg;
        QVERIFY(imgr::ImgrMsg::unpack(data, msg));
        QCOMPARE(msg.header0, quint8(0x11));
        QCOMPARE(msg.msgType, quint8(3)); // a DISCOVER decodes too; filtering is the sweep's job
        QCOMPARE(msg.shareFlags, quint8(0x03));
        QCOMPARE(msg.header3, quint8(0x22));
        QCOMPARE(imgr::ImgrMsg::trimmed(msg.deviceId), QStringLiteral("box-1"));
        QCOMPARE(imgr::ImgrMsg::trimmed(msg.ip), QStringLiteral("10.0.0.9"));
        QCOMPARE(imgr::ImgrMsg::trimmed(msg.name), QStringLiteral("Lounge"));
        QCOMPARE(msg.deviceModel, QByteArray(16, '\0'));
        QCOMPARE(msg.numTuners, quint8(255));
        QCOMPARE(msg.subscription, quint8(2));
        QCOMPARE(msg.reserved0, quint8(0x33));
        QCOMPARE(msg.reserved1, quint8(0x44));
        QCOMPARE(msg.reservedWords[0], 258u);
        QCOMPARE(msg.reservedWords[3], 0xfffffffeu);
        // and back again, byte for byte
        QCOMPARE(msg.pack(), data.left(92));
    }

    void trimmedText()
    {
        QCOMPARE(imgr::ImgrMsg::trimmed(QByteArray::fromHex("4142004344")), QStringLiteral("AB"));
        QCOMPARE(imgr::ImgrMsg::trimmed(QByteArray::fromHex("00414243")), QString());
        QCOMPARE(imgr::ImgrMsg::trimmed(QByteArray()), QString());
        QCOMPARE(imgr::ImgrMsg::trimmed(QByteArray::fromHex("e9")), QString(QChar(0xE9)));
        QCOMPARE(imgr::ImgrMsg::trimmed(" a b "), QStringLiteral(" a b ")); // no white space removed
    }

    void identity()
    {
        const DeviceIdentity identity;
        QCOMPARE(identity.deviceIdBytes(), QByteArray("726d74636c69\0\0\0\0", 16));
        QCOMPARE(identity.deviceIdDisplay(), QStringLiteral("726d-7463-6c69"));
        QCOMPARE(identity.property("deviceId").toString(), QStringLiteral("726d-7463-6c69"));
        QCOMPARE(QByteArray(identity.metaObject()->className()), QByteArray("DeviceIdentity"));
        QVERIFY(identity.metaObject()->property(identity.metaObject()->indexOfProperty("deviceId")).isConstant());
    }

    void listTypeIsRegisteredByName()
    {
        imgr::registerMetaTypes();
        const QMetaType type = QMetaType::fromName("QList<imgr::ImgrMsg>");
        QVERIFY(type.isValid());
        QCOMPARE(type, QMetaType::fromType<QList<imgr::ImgrMsg>>());

        const QMetaMethod finished = DiscoveryService::staticMetaObject.method(
            DiscoveryService::staticMetaObject.indexOfSignal("finished(QList<imgr::ImgrMsg>)"));
        QVERIFY(finished.isValid());
        QCOMPARE(finished.parameterNames(), QList<QByteArray>({ "devices" }));
        const QMetaMethod setDevices = RemoteDeviceModel::staticMetaObject.method(
            RemoteDeviceModel::staticMetaObject.indexOfSlot("setDevices(QList<imgr::ImgrMsg>)"));
        QVERIFY(setDevices.isValid());
        QCOMPARE(setDevices.parameterMetaType(0), type);
    }
};

QTEST_GUILESS_MAIN(TestImgrMsg)
#include "tst_imgrmsg.moc"
