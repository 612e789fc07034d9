// The feed body is whatever the network returned: unpack it, convert it and
// parse it the way the feed thread does. Random bytes rarely make a valid
// zlib stream, so every input is also packed into well-formed blocks here,
// which sends arbitrary text through the conversion and the parser.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include <zlib.h>

#include "app/feed/FeedContainer.h"
#include "app/feed/FeedLoader.h"

using namespace Vornex;

namespace {

std::string PackIntoBlocks(const uint8_t* data, size_t size)
{
    std::string body;
    for (size_t start = 0; start < size; start += FeedContainer::kMaxInflatedBlockBytes) {
        const size_t n =
            size - start < FeedContainer::kMaxInflatedBlockBytes ? size - start : FeedContainer::kMaxInflatedBlockBytes;
        uLongf packedSize = compressBound(static_cast<uLong>(n));
        std::vector<Bytef> packed(packedSize);
        if (compress(packed.data(), &packedSize, data + start, static_cast<uLong>(n)) != Z_OK) return body;
        for (int shift = 0; shift < 32; shift += 8) body += static_cast<char>((packedSize >> shift) & 0xff);
        body.append(reinterpret_cast<const char*>(packed.data()), packedSize);
    }
    return body;
}

void Load(const std::string& body)
{
    std::vector<AdItem> staticAds;
    std::vector<AdItem> scrollAds[3];
    // The code page of a Chinese system and the native default.
    LoadFeedLists(body, 936, staticAds, scrollAds);
    LoadFeedLists(body, 0, staticAds, scrollAds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string raw(reinterpret_cast<const char*>(data), size);
    std::string document;
    if (DecodeFeedContainer(raw, document) && document.size() > FeedContainer::kMaxDocumentBytes) __builtin_trap();
    Load(raw);
    Load(PackIntoBlocks(data, size));
    return 0;
}
