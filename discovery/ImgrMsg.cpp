// SPDX-License-Identifier: Apache-2.0
#include "ImgrMsg.h"

#include <QtEndian>

#include <cstring>

namespace imgr {

namespace {

enum Offset {
    Header0At = 4,
    MsgTypeAt = 5,
    ShareFlagsAt = 6,
    Header3At = 7,
    DeviceIdAt = 8,
    IpAt = 24,
    NameAt = 40,
    ModelAt = 56,
    TunersAt = 72,
    SubscriptionAt = 73,
    Reserved0At = 74,
    Reserved1At = 75,
    WordsAt = 76,
};

void putText(QByteArray &datagram, int offset, const QByteArray &text)
{
    std::memcpy(datagram.data() + offset, text.constData(), size_t(qMin<qsizetype>(text.size(), kTextFieldSize)));
}

} // namespace

QByteArray ImgrMsg::pack() const
{
    QByteArray datagram(kMessageSize, '\0');
    std::memcpy(datagram.data(), MAGIC, sizeof MAGIC);
    datagram[Header0At] = char(header0);
    datagram[MsgTypeAt] = char(msgType);
    datagram[ShareFlagsAt] = char(shareFlags);
    datagram[Header3At] = char(header3);
    putText(datagram, DeviceIdAt, deviceId);
    putText(datagram, IpAt, ip);
    putText(datagram, NameAt, name);
    putText(datagram, ModelAt, deviceModel);
    datagram[TunersAt] = char(numTuners);
    datagram[SubscriptionAt] = char(subscription);
    datagram[Reserved0At] = char(reserved0);
    datagram[Reserved1At] = char(reserved1);
    for (int i = 0; i < 4; ++i)
        qToBigEndian<quint32>(reservedWords[size_t(i)], datagram.data() + WordsAt + 4 * i);
    return datagram;
}

bool ImgrMsg::unpack(const QByteArray &data, ImgrMsg &out)
{
    if (data.size() < kMessageSize || std::memcmp(data.constData(), MAGIC, sizeof MAGIC) != 0)
        return false;
    const auto byte = [&data](int at) { return quint8(data[at]); };
    out.header0 = byte(Header0At);
    out.msgType = byte(MsgTypeAt);
    out.shareFlags = byte(ShareFlagsAt);
    out.header3 = byte(Header3At);
    out.deviceId = data.mid(DeviceIdAt, kTextFieldSize);
    out.ip = data.mid(IpAt, kTextFieldSize);
    out.name = data.mid(NameAt, kTextFieldSize);
    out.deviceModel = data.mid(ModelAt, kTextFieldSize);
    out.numTuners = byte(TunersAt);
    out.subscription = byte(SubscriptionAt);
    out.reserved0 = byte(Reserved0At);
    out.reserved1 = byte(Reserved1At);
    for (int i = 0; i < 4; ++i)
        out.reservedWords[size_t(i)] = qFromBigEndian<quint32>(data.constData() + WordsAt + 4 * i);
    return true;
}

QString ImgrMsg::trimmed(const QByteArray &field)
{
    const qsizetype end = field.indexOf('\0');
    return QString::fromLatin1(end < 0 ? field : field.left(end));
}

ImgrMsg makeDiscover(const QByteArray &deviceId, const QByteArray &clientName, const QString &srcIp)
{
    ImgrMsg msg;
    msg.header0 = 0x00;
    msg.msgType = kMsgDiscover;
    msg.shareFlags = 0x00;
    msg.header3 = 0x01;
    msg.deviceId = deviceId;
    msg.ip = srcIp.toLatin1();
    msg.name = clientName;
    return msg;
}

QString formatId(const QString &id)
{
    if (id.size() < 12)
        return id;
    return id.mid(0, 4) + QLatin1Char('-') + id.mid(4, 4) + QLatin1Char('-') + id.mid(8, 4);
}

QString shownName(const QString &name)
{
    QString plain = name;
    for (QChar &c : plain) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return plain.simplified();
}

void registerMetaTypes()
{
    qRegisterMetaType<QList<imgr::ImgrMsg>>("QList<imgr::ImgrMsg>");
}

} // namespace imgr
