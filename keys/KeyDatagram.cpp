// SPDX-License-Identifier: Apache-2.0
#include "KeyDatagram.h"

#include <cstring>

namespace keydatagram {

QByteArray buildRequest(quint8 sequence, const QByteArray &keyUtf8)
{
    Q_ASSERT(keyUtf8.size() <= kMaxKeyBytes);
    QByteArray datagram(kDatagramSize, '\0');
    std::memcpy(datagram.data() + MagicAt, kMagic, sizeof kMagic);
    datagram[FormatAt] = char(1);
    datagram[DirectionAt] = char(0);
    datagram[SequenceAt] = char(sequence);
    std::memcpy(datagram.data() + kKeyTextOffset, keyUtf8.constData(),
                size_t(qMin<qsizetype>(keyUtf8.size(), kMaxKeyBytes)));
    return datagram;
}

std::optional<Request> parseRequest(const char *data, qsizetype size)
{
    if (size < kKeyTextOffset || std::memcmp(data + MagicAt, kMagic, sizeof kMagic) != 0 || data[DirectionAt] != 0)
        return std::nullopt;
    const char *key = data + kKeyTextOffset;
    const auto *end = static_cast<const char *>(std::memchr(key, '\0', size_t(size - kKeyTextOffset)));
    return Request { quint8(data[SequenceAt]), QByteArray(key, end ? end - key : data + size - key) };
}

QByteArray buildAck(quint8 sequence, quint8 status)
{
    QByteArray ack(kKeyTextOffset, '\0');
    std::memcpy(ack.data() + MagicAt, kMagic, sizeof kMagic);
    ack[FormatAt] = char(1);
    ack[DirectionAt] = char(1);
    ack[StatusAt] = char(status);
    ack[SequenceAt] = char(sequence);
    return ack;
}

std::optional<Ack> parseAck(const char *data, qsizetype size)
{
    if (size < 8 || std::memcmp(data + MagicAt, kMagic, sizeof kMagic) != 0 || data[DirectionAt] != 1)
        return std::nullopt;
    return Ack { quint8(data[SequenceAt]), quint8(data[StatusAt]) };
}

} // namespace keydatagram
