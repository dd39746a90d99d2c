// SPDX-License-Identifier: Apache-2.0
#include "HostAddress.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTest>
#include <QTranslator>

namespace {
const QString kNotNumeric = QStringLiteral("Not a numeric IP address");
const QString kNotWhole = QStringLiteral("Not a whole IPv4 address: four numbers 0–255 are needed");
const QString kLeadingZero = QStringLiteral("Leading zeros are not allowed");
const QString kSpaces = QStringLiteral("Spaces around an address are not allowed");
const QString kMulticast = QStringLiteral("A multicast address is no box's address");
const QString kBroadcast = QStringLiteral("A broadcast address reaches every box");
const QString kZero = QStringLiteral("0.0.0.0 is no box's address");
const QString kUnspecified = QStringLiteral(":: is no box's address");
const QString kZeroNetwork = QStringLiteral("An address in 0.0.0.0/8 is no box's address");
const QString kReserved = QStringLiteral("An address in 240.0.0.0/4 is reserved, no box's address");
const QString kScope
    = QStringLiteral("A scope after % is an interface name or number: up to 15 letters, digits, '.', '_' or '-'");

// The machine every row is judged on: a /24 and a /30 on the LAN, loopback's /8, a point-to-point
// /31 and a /32, and an interface that is down, whose network counts all the same.
QList<network::InterfaceInfo> machine()
{
    const auto entry = [](const char *ip, int prefix) {
        QNetworkAddressEntry e;
        e.setIp(QHostAddress(QString::fromLatin1(ip)));
        e.setPrefixLength(prefix);
        return e;
    };
    const QNetworkInterface::InterfaceFlags up = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
    return {
        { QStringLiteral("lo"), up | QNetworkInterface::IsLoopBack, { entry("127.0.0.1", 8), entry("::1", 128) } },
        { QStringLiteral("eth0"), up, { entry("10.77.0.1", 24), entry("fe80::1", 64), entry("192.0.2.1", 30) } },
        { QStringLiteral("tun0"), up, { entry("10.9.0.0", 31), entry("10.8.0.5", 32) } },
        { QStringLiteral("wlan0"), {}, { entry("172.16.4.20", 22) } },
    };
}
} // namespace

class TestHostAddress : public QObject
{
    Q_OBJECT

private slots:
    void rule_data();
    void rule();
    void reasonsAreTranslated_data() { rule_data(); }
    void reasonsAreTranslated();
};

void TestHostAddress::rule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // empty: a box's address

    QTest::newRow("ipv4") << "10.0.0.5" << QString();
    QTest::newRow("loopback") << "127.0.0.1" << QString();
    QTest::newRow("zero numbers") << "10.0.0.0" << QString();
    QTest::newRow("last unicast before multicast") << "223.255.255.255" << QString();
    QTest::newRow("an end of a /31") << "10.9.0.0" << QString();
    QTest::newRow("a /32") << "10.8.0.5" << QString();
    QTest::newRow("ipv6 loopback") << "::1" << QString();
    QTest::newRow("ipv6 full") << "2001:db8:0:0:1:0:0:1" << QString();
    QTest::newRow("ipv6 group leading zeros") << "2001:0db8::0001" << QString();
    QTest::newRow("ipv6 upper case") << "FE80::ABCD" << QString();
    QTest::newRow("ipv6 :: for the last group") << "1:2:3:4:5:6:7::" << QString();
    QTest::newRow("ipv6 :: for the first group") << "::2:3:4:5:6:7:8" << QString();
    QTest::newRow("ipv6 with scope") << "fe80::1%eth0" << QString();
    QTest::newRow("ipv6 with numeric scope") << "fe80::1%2" << QString();
    QTest::newRow("ipv6 with a scope of 15") << "fe80::1%br-0a1b2c3d4e_." << QString();
    QTest::newRow("ipv4 tail") << "1:2:3:4:5:6:10.0.0.1" << QString();
    QTest::newRow("ipv4-mapped") << "::ffff:10.0.0.1" << QString();
    QTest::newRow("ipv4 tail after ::") << "2001:db8::10.0.0.1" << QString();

    QTest::newRow("empty") << ""
                           << "No address typed";
    QTest::newRow("space before") << " 10.0.0.5" << kSpaces;
    QTest::newRow("space after") << "10.0.0.5 " << kSpaces;
    QTest::newRow("tab before ipv6") << "\t::1" << kSpaces;
    QTest::newRow("newline after") << "10.0.0.5\n" << kSpaces;
    QTest::newRow("no-break space after") << QStringLiteral("10.0.0.5\u00a0") << kSpaces;
    QTest::newRow("space inside") << "10.0. 0.5" << kNotNumeric;

    // inet_aton's short forms: "10.77.0" would be 10.77.0.0, "10.77.2" 10.77.0.2.
    QTest::newRow("three numbers") << "10.77.0" << kNotWhole;
    QTest::newRow("three numbers, the last spanning two") << "10.77.2" << kNotWhole;
    QTest::newRow("one number") << "167772165" << kNotWhole;
    QTest::newRow("five numbers") << "10.0.0.5.1" << kNotWhole;
    QTest::newRow("an empty number") << "10..0.5" << kNotWhole;
    QTest::newRow("trailing dot") << "10.0.0.5." << kNotWhole;
    QTest::newRow("a number over 255") << "256.1.1.1" << kNotWhole;
    QTest::newRow("a huge number") << "10.0.0.99999999999999999999" << kNotWhole;
    // Octal numbers: "010" would be 8.
    QTest::newRow("an octal-looking last number") << "10.77.0.010" << kLeadingZero;
    QTest::newRow("leading zero first") << "010.0.0.1" << kLeadingZero;
    QTest::newRow("double zero") << "10.0.0.00" << kLeadingZero;
    QTest::newRow("many leading zeros") << "10.0.0.0005" << kLeadingZero;

    QTest::newRow("a hex number") << "0x7f.0.0.1" << kNotNumeric;
    QTest::newRow("host name") << "localhost" << kNotNumeric;
    QTest::newRow("dotted name") << "tv.local" << kNotNumeric;
    QTest::newRow("with port") << "127.0.0.1:31063" << kNotNumeric;
    QTest::newRow("ipv4 with scope") << "10.0.0.5%eth0" << kNotNumeric;
    QTest::newRow("with prefix") << "10.0.0.0/8" << kNotNumeric;
    QTest::newRow("negative") << "-1.0.0.1" << kNotNumeric;
    QTest::newRow("full-width digits") << QStringLiteral("\uff11\uff10.0.0.1") << kNotNumeric;
    QTest::newRow("arabic-indic digit") << QStringLiteral("10.0.0.\u0665") << kNotNumeric;

    QTest::newRow("unspecified") << "0.0.0.0" << kZero;
    QTest::newRow("in 0.0.0.0/8") << "0.1.2.3" << kZeroNetwork;
    QTest::newRow("reserved") << "240.0.0.1" << kReserved;
    QTest::newRow("mapped reserved") << "::ffff:250.1.2.3" << kReserved;
    // What the machine would send to every box of one of its networks, or to none.
    QTest::newRow("directed broadcast") << "10.77.0.255"
                                        << "10.77.0.255 is the broadcast address of 10.77.0.0/24";
    QTest::newRow("network address") << "10.77.0.0"
                                     << "10.77.0.0 is the address of the network 10.77.0.0/24 itself";
    QTest::newRow("mapped directed broadcast") << "::ffff:10.77.0.255"
                                               << "::ffff:10.77.0.255 is the broadcast address of 10.77.0.0/24";
    QTest::newRow("broadcast of a /30") << "192.0.2.3"
                                        << "192.0.2.3 is the broadcast address of 192.0.2.0/30";
    QTest::newRow("broadcast of a network that is down") << "172.16.7.255"
                                                         << "172.16.7.255 is the broadcast address of 172.16.4.0/22";
    QTest::newRow("broadcast") << "255.255.255.255" << kBroadcast;
    QTest::newRow("multicast") << "224.0.0.1" << kMulticast;
    QTest::newRow("last multicast") << "239.255.255.255" << kMulticast;
    QTest::newRow("ipv6 unspecified") << "::" << kUnspecified;
    QTest::newRow("ipv6 unspecified, long") << "0:0:0:0:0:0:0:0" << kUnspecified;
    QTest::newRow("ipv6 unspecified with scope") << "::%eth0" << kUnspecified;
    QTest::newRow("ipv6 multicast") << "ff02::1" << kMulticast;
    QTest::newRow("ipv6 multicast with scope") << "ff02::1%eth0" << kMulticast;
    QTest::newRow("mapped broadcast") << "::ffff:255.255.255.255" << kBroadcast;
    QTest::newRow("mapped multicast") << "::ffff:224.0.0.1" << kMulticast;
    QTest::newRow("mapped zero") << "::ffff:0.0.0.0" << kZero;

    QTest::newRow("nine groups") << "1:2:3:4:5:6:7:8:9" << kNotNumeric;
    QTest::newRow("seven groups") << "1:2:3:4:5:6:7" << kNotNumeric;
    QTest::newRow(":: for no group") << "1:2:3:4:5:6:7:8::" << kNotNumeric;
    QTest::newRow(":: for no group before a tail") << "1:2:3:4:5:6::10.0.0.1" << kNotNumeric;
    QTest::newRow("two ::") << "1::2::3" << kNotNumeric;
    QTest::newRow(":::") << ":::" << kNotNumeric;
    QTest::newRow("five hex digits") << "12345::1" << kNotNumeric;
    QTest::newRow("not hex") << "g::1" << kNotNumeric;
    QTest::newRow("lone leading colon") << ":1::2" << kNotNumeric;
    QTest::newRow("lone trailing colon") << "1::2:" << kNotNumeric;
    QTest::newRow("short ipv4 tail") << "::ffff:10.77.0" << kNotNumeric;
    QTest::newRow("octal ipv4 tail") << "::ffff:10.77.0.010" << kNotNumeric;
    QTest::newRow("tail not last") << "::10.0.0.1:5" << kNotNumeric;
    QTest::newRow("empty scope") << "fe80::1%" << kScope;
    QTest::newRow("two scopes") << "fe80::1%eth0%1" << kScope;
    QTest::newRow("space in scope") << "fe80::1%eth 0" << kScope;
    QTest::newRow("escape in scope") << "fe80::1%\x1b[31m" << kScope;
    QTest::newRow("scope of 16") << "fe80::1%abcdefghijklmnop" << kScope;
    QTest::newRow("brackets") << "[::1]" << kNotNumeric;
}

void TestHostAddress::rule()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const QString refusal = hostaddress::refusal(text, machine());
    QVERIFY2(refusal == reason, qPrintable(QStringLiteral("\"%1\": \"%2\"").arg(text, refusal)));
    if (!reason.isEmpty())
        return;
    // What passes is what is sent to: Qt reads it as the address typed, not another one.
    const QHostAddress address(text);
    QVERIFY2(!address.isNull(), qPrintable(text));
    if (!text.contains(u':')) {
        QCOMPARE(address.toString(), text);
        return;
    }
    QCOMPARE(address.protocol(), QAbstractSocket::IPv6Protocol);
    QCOMPARE(address.scopeId(), text.section(u'%', 1));
}

void TestHostAddress::reasonsAreTranslated()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    if (reason.isEmpty())
        QSKIP("a box's address: nothing to translate");
    QTranslator german;
    QVERIFY(german.load(QStringLiteral(":/i18n/falquin_de.qm")));
    QCoreApplication::installTranslator(&german);
    const QString translated = hostaddress::refusal(text, machine());
    QCoreApplication::removeTranslator(&german);
    QVERIFY2(!translated.isEmpty() && translated != reason,
             qPrintable(QStringLiteral("no German for \"%1\" in translations/falquin_de.ts").arg(reason)));
}

QTEST_GUILESS_MAIN(TestHostAddress)
#include "tst_hostaddress.moc"
