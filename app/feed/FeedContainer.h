#pragma once
// The transport format of the promotion feed: a sequence of blocks, each a
// signed little-endian 32-bit length N followed by N bytes of one zlib stream.
// A zero length (or the end of the bytes) ends the sequence; the inflated
// blocks, concatenated, are the document's bytes.

#include <cstddef>
#include <string>

namespace Vornex {

namespace FeedContainer {

// Largest compressed block the sender produces.
constexpr size_t kMaxBlockBytes = 11264;
// Largest inflated block.
constexpr size_t kMaxInflatedBlockBytes = 10240;
// Ceiling on the whole document. Blocks inflate up to ~1000:1, so without a
// ceiling a hostile body of a few megabytes would ask for gigabytes; a
// promotion document is a few kilobytes.
constexpr size_t kMaxDocumentBytes = 4 * 1024 * 1024;

}  // namespace FeedContainer

// Decodes `size` bytes of the transport format into `document`. Returns false
// (and an empty `document`) for a block whose length word is negative, above
// kMaxBlockBytes or beyond the remaining bytes, for a block zlib rejects or
// that inflates beyond kMaxInflatedBlockBytes, and for a document beyond
// kMaxDocumentBytes. Trailing bytes too short for a length word, and a length
// word with nothing after it, end the sequence successfully.
bool DecodeFeedContainer(const char* bytes, size_t size, std::string& document);

inline bool DecodeFeedContainer(const std::string& body, std::string& document)
{
    return DecodeFeedContainer(body.data(), body.size(), document);
}

}  // namespace Vornex
