// SPDX-License-Identifier: Apache-2.0
#include "Box.h"

#include "ImgrMsg.h"

Box Box::fromReply(const imgr::ImgrMsg &reply)
{
    return { imgr::ImgrMsg::trimmed(reply.deviceId), imgr::shownName(imgr::ImgrMsg::trimmed(reply.name)),
             imgr::ImgrMsg::trimmed(reply.ip) };
}
