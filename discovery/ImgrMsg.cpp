// SPDX-License-Identifier: Apache-2.0
#include "ImgrMsg.h"

#include <QtEndian>

#include <cstring>

namespace imgr {

namespace {

enum Offset {
    HEADER0_AT = 4,
    MSG_TYPE_AT = 5,
    SHARE_FLAGS_AT = 6,
    HEADER3_AT = 7,
    DEVICE_ID_AT = 8,
    IP_AT = 24,
    NAME_AT = 40,
    MODEL_AT = 56,
    TUNERS_AT = 72,
    SUBSCRIPTION_AT = 73,
    RESERVED0_AT = 74,
    RESERVED1_AT = 75,
    WORDS_AT = 76,
};

void putText(QByteArray &datagram, int offset, const QByteArray &text)
{
    std::memcpy(datagram.data() + offset, text.constData(), size_t(qMin<qsizetype>(text.size(), TEXT_FIELD_SIZE)));
}

} // namespace

QByteArray ImgrMsg::pack() const
{
    QByteArray datagram(MESSAGE_SIZE, '\0');
    std::memcpy(datagram.data(), MAGIC, sizeof MAGIC);
    datagram[HEADER0_AT] = char(header0);
    datagram[MSG_TYPE_AT] = char(msgType);
    datagram[SHARE_FLAGS_AT] = char(shareFlags);
    datagram[HEADER3_AT] = char(header3);
    putText(datagram, DEVICE_ID_AT, deviceId);
    putText(datagram, IP_AT, ip);
    putText(datagram, NAME_AT, name);
    putText(datagram, MODEL_AT, deviceModel);
    datagram[TUNERS_AT] = char(numTuners);
    datagram[SUBSCRIPTION_AT] = char(subscription);
    datagram[RESERVED0_AT] = char(reserved0);
    datagram[RESERVED1_AT] = char(reserved1);
    for (int i = 0; i < 4; ++i)
        qToBigEndian<quint32>(reservedWords[size_t(i)], datagram.data() + WORDS_AT + 4 * i);
    return datagram;
}

bool ImgrMsg::unpack(const QByteArray &data, ImgrMsg &out)
{
    if (data.size() < MESSAGE_SIZE || std::memcmp(data.constData(), MAGIC, sizeof MAGIC) != 0)
        return false;
    const auto byte = [&data](int at) { return quint8(data[at]); };
    out.header0 = byte(HEADER0_AT);
    out.msgType = byte(MSG_TYPE_AT);
    out.shareFlags = byte(SHARE_FLAGS_AT);
    out.header3 = byte(HEADER3_AT);
    out.deviceId = data.mid(DEVICE_ID_AT, TEXT_FIELD_SIZE);
    out.ip = data.mid(IP_AT, TEXT_FIELD_SIZE);
    out.name = data.mid(NAME_AT, TEXT_FIELD_SIZE);
    out.deviceModel = data.mid(MODEL_AT, TEXT_FIELD_SIZE);
    out.numTuners = byte(TUNERS_AT);
    out.subscription = byte(SUBSCRIPTION_AT);
    out.reserved0 = byte(RESERVED0_AT);
    out.reserved1 = byte(RESERVED1_AT);
    for (int i = 0; i < 4; ++i)
        out.reservedWords[size_t(i)] = qFromBigEndian<quint32>(data.constData() + WORDS_AT + 4 * i);
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
    msg.msgType = MSG_DISCOVER;
    msg.shareFlags = 0x00;
    msg.header3 = 0x01;
    msg.deviceId = deviceId;
    msg.ip = srcIp.toLatin1();
    msg.name = clientName;
    return msg;
}

void registerMetaTypes()
{
    qRegisterMetaType<QList<imgr::ImgrMsg>>("QList<imgr::ImgrMsg>");
}

} // namespace imgr
