// SPDX-License-Identifier: Apache-2.0
#include "HostAddress.h"

#include <QCoreApplication>
#include <QHostAddress>

#include <algorithm>
#include <iterator>

namespace hostaddress {

namespace {

// QChar::isDigit() takes every script's digits; an address has ASCII ones only.
bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

enum class Quad { Valid, NotWhole, LeadingZero };

// Exactly four decimal numbers 0-255. QHostAddress would also take inet_aton's short forms
// ("10.77.2" is 10.77.0.2) and octal numbers ("010" is 8): a box the user did not type.
Quad checkQuad(QStringView text, quint32 *value = nullptr)
{
    quint32 result = 0;
    int octets = 0;
    bool leadingZero = false;
    for (QStringView octet : text.split(u'.')) {
        if (++octets > 4 || octet.isEmpty())
            return Quad::NotWhole;
        int number = 0;
        for (const QChar c : octet) {
            if (!isAsciiDigit(c))
                return Quad::NotWhole;
            number = qMin(number * 10 + (c.unicode() - u'0'), 256);
        }
        if (number > 255)
            return Quad::NotWhole;
        leadingZero = leadingZero || (octet.size() > 1 && octet.front() == u'0');
        result = result << 8 | quint32(number);
    }
    if (octets != 4)
        return Quad::NotWhole;
    if (leadingZero)
        return Quad::LeadingZero;
    if (value)
        *value = result;
    return Quad::Valid;
}

// RFC 4291 section 2.2: eight groups of one to four hex digits, a single "::" standing
// for one or more zero groups, and optionally a dotted quad in place of the last two.
bool isIpv6Text(QStringView text)
{
    QStringView head = text;
    QStringView tail;
    const qsizetype lastColon = text.lastIndexOf(u':');
    if (lastColon < 0)
        return false;
    if (text.indexOf(u'.', lastColon) >= 0) {
        head = text.left(lastColon + 1);
        tail = text.mid(lastColon + 1);
        if (checkQuad(tail) != Quad::Valid)
            return false;
        // The colon before the tail only separates, unless it is half of a "::".
        if (!head.endsWith(u"::"))
            head.chop(1);
    }
    const qsizetype compressed = head.indexOf(u"::");
    if (compressed >= 0 && head.indexOf(u"::", compressed + 1) >= 0)
        return false;
    int groups = tail.isEmpty() ? 0 : 2;
    const auto countGroups = [&groups](QStringView side) {
        if (side.isEmpty())
            return true;
        for (QStringView group : side.split(u':')) {
            if (group.isEmpty() || group.size() > 4)
                return false;
            for (const QChar c : group) {
                if (!isHexDigit(c))
                    return false;
            }
            ++groups;
        }
        return true;
    };
    if (compressed < 0)
        return countGroups(head) && groups == 8;
    return countGroups(head.left(compressed)) && countGroups(head.mid(compressed + 2)) && groups <= 7;
}

QString notNumeric()
{
    return QCoreApplication::translate("HostAddress", "Not a numeric IP address");
}

// The IPv4 addresses that reach no box, or every box, rather than the one meant. text is the
// address as given, for the reasons that name it.
QString ipv4Refusal(quint32 address, const QString &text, const QList<network::InterfaceInfo> &interfaces)
{
    if (address == 0)
        return QCoreApplication::translate("HostAddress", "0.0.0.0 is no box's address");
    if ((address >> 24) == 0)
        return QCoreApplication::translate("HostAddress", "An address in 0.0.0.0/8 is no box's address");
    if (address == 0xffffffffU)
        return QCoreApplication::translate("HostAddress", "A broadcast address reaches every box");
    if ((address >> 28) == 0xe)
        return QCoreApplication::translate("HostAddress", "A multicast address is no box's address");
    if ((address >> 28) == 0xf)
        return QCoreApplication::translate("HostAddress", "An address in 240.0.0.0/4 is reserved, no box's address");
    // The machine may send to its own networks' edges as broadcasts: every box there would get the keys.
    for (const network::InterfaceInfo &iface : interfaces) {
        for (const QNetworkAddressEntry &entry : iface.entries) {
            const auto net = network::ipv4Network(entry);
            if (!net || !net->hasEdges())
                continue;
            const QString cidr = QStringLiteral("%1/%2").arg(QHostAddress(net->base).toString()).arg(net->prefix);
            if (address == net->broadcast())
                return QCoreApplication::translate("HostAddress", "%1 is the broadcast address of %2").arg(text, cidr);
            if (address == net->base)
                return QCoreApplication::translate("HostAddress", "%1 is the address of the network %2 itself")
                    .arg(text, cidr);
        }
    }
    return {};
}

// An interface name or number, as the system takes it after a '%'.
bool isScope(QStringView scope)
{
    constexpr qsizetype kMaxScope = 15;
    if (scope.isEmpty() || scope.size() > kMaxScope)
        return false;
    for (const QChar c : scope) {
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (!letter && !isAsciiDigit(c) && c != u'.' && c != u'_' && c != u'-')
            return false;
    }
    return true;
}

// The rule's reason, and whether text is written as an address at all (the reason then says why
// that address reaches no single box).
QString check(const QString &text, const QList<network::InterfaceInfo> &interfaces, bool *isAddress)
{
    *isAddress = false;
    if (text.isEmpty())
        return QCoreApplication::translate("HostAddress", "No address typed");
    // Refused rather than trimmed here, so that no caller stores or shows a host with spaces.
    if (text.front().isSpace() || text.back().isSpace())
        return QCoreApplication::translate("HostAddress", "Spaces around an address are not allowed");

    if (!text.contains(u':')) {
        for (const QChar c : text) {
            if (!isAsciiDigit(c) && c != u'.')
                return notNumeric();
        }
        quint32 address = 0;
        switch (checkQuad(text, &address)) {
        case Quad::NotWhole:
            return QCoreApplication::translate("HostAddress",
                                               "Not a whole IPv4 address: four numbers 0–255 are needed");
        case Quad::LeadingZero:
            return QCoreApplication::translate("HostAddress", "Leading zeros are not allowed");
        case Quad::Valid:
            break;
        }
        *isAddress = true;
        return ipv4Refusal(address, text, interfaces);
    }

    // A scope (zone) names the interface of a link-local address: "fe80::1%eth0".
    const qsizetype percent = text.indexOf(u'%');
    const QStringView bare = percent < 0 ? QStringView(text) : QStringView(text).first(percent);
    if (percent >= 0 && !isScope(QStringView(text).mid(percent + 1)))
        return QCoreApplication::translate(
            "HostAddress", "A scope after % is an interface name or number: up to 15 letters, digits, '.', '_' or '-'");
    if (!isIpv6Text(bare))
        return notNumeric();
    const QHostAddress address(text);
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return notNumeric();
    *isAddress = true;
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    if (std::all_of(std::begin(bytes.c), std::end(bytes.c), [](quint8 b) { return b == 0; }))
        return QCoreApplication::translate("HostAddress", ":: is no box's address");
    if (address.isMulticast())
        return QCoreApplication::translate("HostAddress", "A multicast address is no box's address");
    // "::ffff:a.b.c.d" is sent to a.b.c.d, so it is refused where that would be.
    bool mapped = false;
    const quint32 ipv4 = address.toIPv4Address(&mapped);
    if (mapped)
        return ipv4Refusal(ipv4, text, interfaces);
    return {};
}

} // namespace

QString refusal(const QString &text, const QList<network::InterfaceInfo> &interfaces)
{
    bool isAddress = false;
    return check(text, interfaces, &isAddress);
}

bool isAddressText(const QString &text)
{
    bool isAddress = false;
    check(text, {}, &isAddress);
    return isAddress;
}

} // namespace hostaddress
