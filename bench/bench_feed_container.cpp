// Decode throughput of the feed container next to bare zlib on the same
// blocks, in the same run. Prints figures; never fails on time.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <zlib.h>

#include "app/feed/FeedContainer.h"

using namespace Vornex;

namespace {

struct Body {
    std::string bytes;
    std::vector<std::pair<size_t, size_t>> blocks;  // offset and length of each stream
    size_t inflatedSize = 0;
};

// A feed-like document: many ads with Chinese-looking (GBK-range) captions.
std::string MakeDocument(size_t targetBytes)
{
    std::string doc = "<config><StaticAd>";
    unsigned seed = 12345;
    for (size_t i = 0; doc.size() < targetBytes; ++i) {
        doc += "<ad text='";
        for (int c = 0; c < 8; ++c) {
            seed = seed * 1103515245u + 12345u;
            doc += static_cast<char>(0xB0 + (seed >> 16) % 0x30);
            doc += static_cast<char>(0xA1 + (seed >> 8) % 0x5E);
        }
        doc += "' url='http://127.0.0.1/ad/" + std::to_string(i) + "'/>\r\n";
    }
    return doc + "</StaticAd></config>";
}

Body Pack(const std::string& doc)
{
    Body body;
    for (size_t start = 0; start < doc.size(); start += FeedContainer::kMaxInflatedBlockBytes) {
        const size_t n = std::min(doc.size() - start, FeedContainer::kMaxInflatedBlockBytes);
        uLongf size = compressBound(static_cast<uLong>(n));
        std::string packed(size, '\0');
        compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(doc.data() + start),
                 static_cast<uLong>(n));
        packed.resize(size);
        for (int shift = 0; shift < 32; shift += 8) body.bytes += static_cast<char>((size >> shift) & 0xff);
        body.blocks.emplace_back(body.bytes.size(), size);
        body.bytes += packed;
    }
    body.bytes.append(4, '\0');
    body.inflatedSize = doc.size();
    return body;
}

template <typename F>
double SecondsPerRun(F&& run, int runs)
{
    run();  // warm up
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / runs;
}

void Measure(const char* name, size_t docBytes, int runs)
{
    const Body body = Pack(MakeDocument(docBytes));
    std::string out;
    volatile size_t sink = 0;

    const double decode = SecondsPerRun(
        [&] {
            DecodeFeedContainer(body.bytes, out);
            sink = sink + out.size();
        },
        runs);

    // Bare zlib: the same streams inflated into one preallocated buffer.
    std::vector<unsigned char> plain(body.inflatedSize + FeedContainer::kMaxInflatedBlockBytes);
    const double zlib = SecondsPerRun(
        [&] {
            size_t at = 0;
            for (const auto& block : body.blocks) {
                uLongf size = FeedContainer::kMaxInflatedBlockBytes;
                uncompress(plain.data() + at, &size, reinterpret_cast<const Bytef*>(body.bytes.data() + block.first),
                           static_cast<uLong>(block.second));
                at += size;
            }
            sink = sink + at;
        },
        runs);

    const double mb = body.inflatedSize / 1e6;
    std::printf("%-8s document %8zu B in %3zu blocks (body %7zu B): DecodeFeedContainer %7.1f MB/s, "
                "zlib uncompress %7.1f MB/s, ratio %.3f\n",
                name, body.inflatedSize, body.blocks.size(), body.bytes.size(), mb / decode, mb / zlib, decode / zlib);
}

}  // namespace

int main()
{
    Measure("small", 3 * 1024, 20000);  // a typical promotion feed
    Measure("large", 2 * 1024 * 1024, 40);
    return 0;
}
