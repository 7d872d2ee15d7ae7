// Any bytes as a stream from the cable, cut into pieces by the input's own first byte: the framer
// never hands out a message above the bound nor keeps more than it may, and reading any message
// as fields never reads past it.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "rapi/rapi_messages.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const size_t piece = data[0] + 1u;
    MessageFramer framer;
    std::vector<uint8_t> body;
    for (size_t at = 1; at < size; at += piece) {
        framer.Add(data + at, piece < size - at ? piece : size - at);
        if (framer.Pending() > maxRapiMessage + 4 + rapiReadChunk)
            abort();
        MessageFramer::Result result;
        while ((result = framer.Next(body)) == MessageFramer::Result::message) {
            if (body.size() > maxRapiMessage)
                abort();
            MessageReader reader(body.data(), body.size());
            uint16_t call = 0;
            std::u16string text;
            std::vector<uint8_t> bytes;
            uint32_t number = 0;
            reader.U16(call);
            while (reader.Text(text) && reader.Bytes(bytes) && reader.U32(number)) {
            }
        }
        if (result == MessageFramer::Result::bad)
            return 0;
    }
    return 0;
}
