// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Identity.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// This client's fixed id, as put into every DISCOVER request.
class DeviceIdentity : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString deviceId READ deviceIdDisplay CONSTANT)

public:
    explicit DeviceIdentity(QObject *parent = nullptr);

    // The id as the 16-byte request field, NUL filled.
    QByteArray deviceIdBytes() const;
    // The id grouped for people: "726d-7463-6c69".
    QString deviceIdDisplay() const;
    // The name every DISCOVER request carries: "Falquin", 7 bytes, no terminator.
    static QByteArray clientName() { return QByteArray(identity::kApplication); }
};
