// SPDX-License-Identifier: Apache-2.0
// Any datagram can reach the sweep's port: decoding it must never misbehave.
#include "ImgrMsg.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char *>(data), qsizetype(size));
    imgr::ImgrMsg msg;
    msg.name = "untouched";
    msg.msgType = 0xaa;
    if (!imgr::ImgrMsg::unpack(datagram, msg)) {
        if (msg.name != "untouched" || msg.msgType != 0xaa || (size >= 92 && datagram.startsWith("Wexa")))
            std::abort();
        (void)imgr::ImgrMsg::trimmed(datagram);
        return 0;
    }
    const QByteArray *fields[] = { &msg.deviceId, &msg.ip, &msg.name, &msg.deviceModel };
    for (const QByteArray *field : fields) {
        if (field->size() != imgr::kTextFieldSize)
            std::abort();
        const QString text = imgr::ImgrMsg::trimmed(*field);
        if (text.size() > imgr::kTextFieldSize || text.contains(QChar(0)))
            std::abort();
    }
    // Decoding loses nothing: packing again gives the first 92 bytes back.
    if (msg.pack() != datagram.left(imgr::kMessageSize))
        std::abort();
    return 0;
}
