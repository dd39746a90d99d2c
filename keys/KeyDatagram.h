// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// The key request and its acknowledgement, built and read field by field.
namespace keydatagram {

inline constexpr char kMagic[4] = { 'T', 'r', 'o', 'x' };
inline constexpr quint16 kPort = 31063;
inline constexpr int kDatagramSize = 328;
inline constexpr int kAckTimeoutMs = 2000;
inline constexpr int kKeyTextOffset = 8;
// The key text must leave room for the zero fill that ends it.
inline constexpr int kMaxKeyBytes = 255;

enum Offset { MagicAt = 0, FormatAt = 4, DirectionAt = 5, StatusAt = 6, SequenceAt = 7 };

struct Ack
{
    quint8 sequence = 0;
    quint8 status = 0; // 0 = accepted
};

struct Request
{
    quint8 sequence = 0;
    QByteArray keyUtf8;
};

// The 328-byte request. The caller guarantees keyUtf8 is at most kMaxKeyBytes long.
QByteArray buildRequest(quint8 sequence, const QByteArray &keyUtf8);
// The box's side: the sequence and key text of a request, or nothing for anything else.
std::optional<Request> parseRequest(const char *data, qsizetype size);

// The box's answer to a request; status 0 accepts the key.
QByteArray buildAck(quint8 sequence, quint8 status);

// The (sequence, status) of a valid acknowledgement, or nothing for anything else.
std::optional<Ack> parseAck(const char *data, qsizetype size);
inline std::optional<Ack> parseAck(const QByteArray &datagram)
{
    return parseAck(datagram.constData(), datagram.size());
}

} // namespace keydatagram
