#include "app/feed/FeedContainer.h"

#include <cstdint>
#include <zlib.h>

namespace Vornex {

namespace {

int32_t ReadLengthWord(const unsigned char* p)
{
    const uint32_t value = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return static_cast<int32_t>(value);
}

}  // namespace

bool DecodeFeedContainer(const char* bytes, size_t size, std::string& document)
{
    using namespace FeedContainer;
    document.clear();
    if (bytes == nullptr) return true;

    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes);
    unsigned char inflated[kMaxInflatedBlockBytes];
    size_t offset = 0;
    while (size - offset >= 4) {
        const int32_t length = ReadLengthWord(data + offset);
        const size_t following = size - offset - 4;
        if (length == 0 || following == 0) break;
        // Outside the format: the sender never writes such a block, so treat
        // it like a corrupt one rather than guessing at its extent.
        if (length < 0 || static_cast<size_t>(length) > kMaxBlockBytes || static_cast<size_t>(length) > following) {
            document.clear();
            return false;
        }
        uLongf inflatedSize = sizeof(inflated);
        if (uncompress(inflated, &inflatedSize, data + offset + 4, static_cast<uLong>(length)) != Z_OK ||
            document.size() + inflatedSize > kMaxDocumentBytes) {
            document.clear();
            return false;
        }
        document.append(reinterpret_cast<const char*>(inflated), inflatedSize);
        offset += 4 + static_cast<size_t>(length);
    }
    return true;
}

}  // namespace Vornex
