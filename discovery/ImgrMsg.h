// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <array>

// The discovery message: one 92-byte shape for the DISCOVER request and the boxes' replies.
namespace imgr {

// "Wexa"; compared byte by byte so the host's byte order never matters.
inline constexpr char MAGIC[4] = { 'W', 'e', 'x', 'a' };
inline constexpr int kMessageSize = 92;
inline constexpr int kTextFieldSize = 16;

inline constexpr quint8 kMsgDiscover = 3;
inline constexpr quint8 SHARE_LIBRARY = 0x01;
inline constexpr quint8 SHARE_TUNER = 0x02;

struct ImgrMsg
{
    quint8 header0 = 0;
    quint8 msgType = 0;
    quint8 shareFlags = 0;
    quint8 header3 = 0;
    // Raw field bytes; text is decoded only through trimmed().
    QByteArray deviceId;
    QByteArray ip;
    QByteArray name;
    QByteArray deviceModel;
    quint8 numTuners = 0;
    quint8 subscription = 0;
    quint8 reserved0 = 0;
    quint8 reserved1 = 0;
    std::array<quint32, 4> reservedWords {}; // host byte order

    QByteArray pack() const;
    // False, with out untouched, when data is not a message.
    static bool unpack(const QByteArray &data, ImgrMsg &out);
    // The text of a field: up to the first NUL, read as Latin-1.
    static QString trimmed(const QByteArray &field);
};

ImgrMsg makeDiscover(const QByteArray &deviceId, const QByteArray &clientName, const QString &srcIp);

// A box id grouped for people: "726d74636c69" -> "726d-7463-6c69"; ids shorter than twelve
// characters stay as they are.
QString formatId(const QString &id);
// A box's name as it is shown and stored: control characters and runs of white space become one
// space, and a name with nothing visible left is "", as if the box had sent none.
QString shownName(const QString &name);

// Registers QList<imgr::ImgrMsg> under exactly that name (for queued connections and QML).
void registerMetaTypes();

} // namespace imgr

Q_DECLARE_METATYPE(imgr::ImgrMsg)
