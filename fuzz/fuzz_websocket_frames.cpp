// The WebSocket frame reader over arbitrary server bytes, arriving in pieces
// of a size the input chooses, under a small message limit so the limit's
// paths are reached too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/protocol/WebSocketFrameReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const size_t piece = 1 + data[0] % 64;
    ++data;
    --size;
    vxrt::WebSocketFrameReader reader(4096);
    std::string payload;
    for (size_t at = 0; at < size; at += piece) {
        const size_t n = size - at < piece ? size - at : piece;
        reader.Append(reinterpret_cast<const char*>(data) + at, n);
        for (;;) {
            const auto r = reader.Next(payload);
            if (r == vxrt::WebSocketFrameReader::Result::NeedMore) break;
            if (r == vxrt::WebSocketFrameReader::Result::Failed) return 0;
            // Nothing past the limit is ever handed out.
            if (payload.size() > 4096) __builtin_trap();
        }
    }
    return 0;
}
