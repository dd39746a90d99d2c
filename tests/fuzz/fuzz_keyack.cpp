// SPDX-License-Identifier: Apache-2.0
// Whatever arrives on the key sender's socket goes through the acknowledgement recogniser, and
// whatever arrives at the simulated box through the request reader.
#include "KeyDatagram.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An exact-size heap copy, so reading one byte too far is caught.
    char *copy = size ? static_cast<char *>(std::malloc(size)) : nullptr;
    if (size)
        std::memcpy(copy, data, size);
    const std::optional<keydatagram::Ack> ack = keydatagram::parseAck(copy, qsizetype(size));
    if (ack) {
        if (size < 8 || std::memcmp(copy, "Trox", 4) != 0 || copy[5] != 1 || ack->sequence != quint8(copy[7])
            || ack->status != quint8(copy[6]))
            std::abort();
    } else if (size >= 8 && std::memcmp(copy, "Trox", 4) == 0 && copy[5] == 1) {
        std::abort();
    }
    if (const auto request = keydatagram::parseRequest(copy, qsizetype(size))) {
        if (size < 8 || request->keyUtf8.size() > qsizetype(size) - 8 || request->keyUtf8.contains('\0'))
            std::abort();
    }
    (void)keydatagram::parseAck(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    std::free(copy);
    return 0;
}
