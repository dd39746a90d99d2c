// SPDX-License-Identifier: Apache-2.0
#include "DeviceIdentity.h"

#include "ImgrMsg.h"

namespace {
const QString kClientId = QStringLiteral("726d74636c69");
}

DeviceIdentity::DeviceIdentity(QObject *parent)
    : QObject(parent)
{
}

QByteArray DeviceIdentity::deviceIdBytes() const
{
    QByteArray bytes = kClientId.toLatin1().left(imgr::TEXT_FIELD_SIZE);
    bytes.append(imgr::TEXT_FIELD_SIZE - bytes.size(), '\0');
    return bytes;
}

QString DeviceIdentity::deviceIdDisplay() const
{
    return kClientId.mid(0, 4) + QLatin1Char('-') + kClientId.mid(4, 4) + QLatin1Char('-') + kClientId.mid(8, 4);
}
