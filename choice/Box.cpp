// SPDX-License-Identifier: Apache-2.0
#include "Box.h"

#include "ImgrMsg.h"

#include <QCoreApplication>

Box Box::fromReply(const imgr::ImgrMsg &reply)
{
    return { imgr::ImgrMsg::trimmed(reply.deviceId), imgr::shownName(imgr::ImgrMsg::trimmed(reply.name)),
             imgr::ImgrMsg::trimmed(reply.ip) };
}

QString Box::label(const QString &name)
{
    const QString shown = imgr::shownName(name);
    return shown.isEmpty() ? QCoreApplication::translate("Box", "(unnamed)") : shown;
}
