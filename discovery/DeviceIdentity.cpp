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
    QByteArray bytes = kClientId.toLatin1().left(imgr::kTextFieldSize);
    bytes.append(imgr::kTextFieldSize - bytes.size(), '\0');
    return bytes;
}

QString DeviceIdentity::deviceIdDisplay() const
{
    return imgr::formatId(kClientId);
}
