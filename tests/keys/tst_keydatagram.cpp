// SPDX-License-Identifier: Apache-2.0
#include "KeyDatagram.h"

#include <QTest>

using namespace keydatagram;

class TestKeyDatagram : public QObject
{
    Q_OBJECT

private slots:
    void requestLayout();
    void requestKeyText_data();
    void requestKeyText();
    void ackRecognition_data();
    void ackRecognition();
};

void TestKeyDatagram::requestLayout()
{
    const QByteArray up = buildRequest(7, "up");
    QByteArray expected("Trox\x01\x00\x00\x07up", 10);
    expected.append(318, '\0');
    QCOMPARE(up.size(), 328);
    QCOMPARE(up, expected);
    QCOMPARE(quint8(buildRequest(255, "ok")[7]), quint8(255));
    QCOMPARE(quint8(buildRequest(0, "ok")[7]), quint8(0));
}

void TestKeyDatagram::requestKeyText_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("longest") << QByteArray(255, 'k');
    QTest::newRow("2-byte utf-8") << QString::fromUtf8("caf\u00e9").toUtf8();
    QTest::newRow("3-byte utf-8") << QString::fromUtf8("\u9759\u97f3").toUtf8();
    QTest::newRow("spaces kept") << QByteArray(" rew down ");
}

void TestKeyDatagram::requestKeyText()
{
    QFETCH(QByteArray, key);
    const QByteArray datagram = buildRequest(1, key);
    QCOMPARE(datagram.size(), kDatagramSize);
    QCOMPARE(datagram.mid(8, key.size()), key);
    // Everything after the text is zero fill, at least 65 bytes of it.
    const QByteArray fill = datagram.mid(8 + key.size());
    QVERIFY(fill.size() >= 65);
    QCOMPARE(fill, QByteArray(fill.size(), '\0'));
    // The box reads back what was sent, with or without the zero fill.
    const auto request = parseRequest(datagram.constData(), datagram.size());
    QVERIFY2(request && request->sequence == 1, "a built request must parse");
    QCOMPARE(request->keyUtf8, key);
    QCOMPARE(parseRequest(datagram.constData(), 8 + key.size())->keyUtf8, key);
    QVERIFY2(!parseAck(datagram), "a request is never an acknowledgement");
    QVERIFY2(!parseRequest(buildAck(1, 0).constData(), 8), "an acknowledgement is never a request");
}

void TestKeyDatagram::ackRecognition_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("sequence");
    QTest::addColumn<int>("status");

    const QByteArray ok("Trox\x01\x01\x00\x2a", 8);
    QTest::newRow("minimal 8 bytes") << ok << true << 42 << 0;
    QTest::newRow("7 bytes") << ok.left(7) << false << 0 << 0;
    QTest::newRow("empty") << QByteArray() << false << 0 << 0;
    QTest::newRow("wrong magic") << QByteArray("Troy\x01\x01\x00\x2a", 8) << false << 0 << 0;
    QTest::newRow("magic swapped") << QByteArray("xorT\x01\x01\x00\x2a", 8) << false << 0 << 0;
    QTest::newRow("request echoed") << buildRequest(42, "up") << false << 0 << 0;
    QTest::newRow("direction 2") << QByteArray("Trox\x01\x02\x00\x2a", 8) << false << 0 << 0;
    QTest::newRow("format 0") << QByteArray("Trox\x00\x01\x00\x2a", 8) << true << 42 << 0;
    QTest::newRow("format 200") << QByteArray("Trox\xc8\x01\x00\x2a", 8) << true << 42 << 0;
    QTest::newRow("refused") << QByteArray("Trox\x01\x01\x05\xff", 8) << true << 255 << 5;
    QTest::newRow("sequence 0") << QByteArray("Trox\x01\x01\x00\x00", 8) << true << 0 << 0;
    QTest::newRow("built by the box") << buildAck(42, 0) << true << 42 << 0;
    QTest::newRow("refusal built by the box") << buildAck(0, 3) << true << 0 << 3;
    QTest::newRow("trailing bytes") << ok + QByteArray(400, '\x7f') << true << 42 << 0;
}

void TestKeyDatagram::ackRecognition()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, valid);
    const auto ack = parseAck(datagram);
    QCOMPARE(ack.has_value(), valid);
    if (valid) {
        QTEST(int(ack->sequence), "sequence");
        QTEST(int(ack->status), "status");
    }
}

QTEST_APPLESS_MAIN(TestKeyDatagram)
#include "tst_keydatagram.moc"
