#include "app/feed/FeedContainer.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <zlib.h>

using namespace Vornex;

namespace {

std::string LengthWord(int32_t n)
{
    const uint32_t u = static_cast<uint32_t>(n);
    return std::string{static_cast<char>(u & 0xff), static_cast<char>((u >> 8) & 0xff),
                       static_cast<char>((u >> 16) & 0xff), static_cast<char>((u >> 24) & 0xff)};
}

std::string Zlib(const std::string& plain)
{
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::string packed(size, '\0');
    EXPECT_EQ(compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(plain.data()),
                       static_cast<uLong>(plain.size())),
              Z_OK);
    packed.resize(size);
    return packed;
}

std::string Block(const std::string& plain, const std::string& padding = std::string())
{
    const std::string data = Zlib(plain) + padding;
    return LengthWord(static_cast<int32_t>(data.size())) + data;
}

std::string Random(size_t n)
{
    std::mt19937 gen(7);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen());
    return s;
}

struct DecodeCase {
    const char* name;
    std::string body;
    bool ok;
    std::string document;
};

void ExpectDecodes(const DecodeCase& c)
{
    std::string document = "left over";
    EXPECT_EQ(DecodeFeedContainer(c.body, document), c.ok) << c.name;
    EXPECT_EQ(document, c.document) << c.name;
}

TEST(FeedContainerTest, EndsTheSequenceAtZeroLengthOrShortTail)
{
    const std::string head = "<config><StaticAd><ad text='a' url='b'/>";
    const std::string tail = "</StaticAd></config>";
    const DecodeCase cases[] = {
        {"empty body", "", true, ""},
        {"four zero bytes", LengthWord(0), true, ""},
        {"one block, no terminator", Block(head + tail), true, head + tail},
        {"blocks concatenate in order", Block(head) + Block(tail) + LengthWord(0), true, head + tail},
        {"zero length stops before garbage", Block(head) + LengthWord(0) + "garbage!", true, head},
        {"one to three trailing bytes are ignored", Block(head) + std::string("\x07\x00\x00", 3), true, head},
        {"length word with nothing after it", Block(head) + LengthWord(5), true, head},
        {"zero bytes inside the text are kept", Block(std::string("a\0b", 3)), true, std::string("a\0b", 3)},
    };
    for (const DecodeCase& c : cases) ExpectDecodes(c);
}

TEST(FeedContainerTest, RejectsBlocksOutsideTheFormatOrCorrupt)
{
    const std::string good = Block("<config/>");
    const DecodeCase cases[] = {
        {"not zlib", LengthWord(5) + "\x01\x02\x03\x04\x05", false, ""},
        {"truncated stream", LengthWord(6) + Zlib("hello world").substr(0, 6), false, ""},
        {"corrupt after a good block", good + LengthWord(3) + "abc", false, ""},
        {"negative length", LengthWord(-1) + "abcdef", false, ""},
        {"most negative length", LengthWord(INT32_MIN) + "abcdef", false, ""},
        {"length beyond the remaining bytes", LengthWord(100) + Zlib("x"), false, ""},
        {"length above the largest block", LengthWord(11265) + Zlib("x") + std::string(11265, 'p'), false, ""},
        {"inflates beyond one block", Block(std::string(10241, 'a')), false, ""},
    };
    for (const DecodeCase& c : cases) ExpectDecodes(c);
}

TEST(FeedContainerTest, AcceptsTheLargestBlocks)
{
    // A block of exactly 11,264 bytes (a stream padded to the limit) that
    // inflates to exactly 10,240 bytes.
    const std::string plain = Random(10240);
    const std::string stream = Zlib(plain);
    ASSERT_LT(stream.size(), FeedContainer::kMaxBlockBytes);
    const std::string body = Block(plain, std::string(FeedContainer::kMaxBlockBytes - stream.size(), '\0'));
    ASSERT_EQ(body.size(), 4 + FeedContainer::kMaxBlockBytes);
    ExpectDecodes({"largest block", body, true, plain});
}

TEST(FeedContainerTest, RefusesADocumentBeyondItsCeiling)
{
    // Each tiny block inflates a thousandfold; without a ceiling a small
    // hostile body would demand gigabytes.
    const std::string block = Block(std::string(FeedContainer::kMaxInflatedBlockBytes, ' '));
    const size_t fit = FeedContainer::kMaxDocumentBytes / FeedContainer::kMaxInflatedBlockBytes;
    std::string body;
    for (size_t i = 0; i < fit; ++i) body += block;
    std::string document;
    ASSERT_TRUE(DecodeFeedContainer(body, document));
    EXPECT_EQ(document.size(), fit * FeedContainer::kMaxInflatedBlockBytes);

    body += block;
    EXPECT_FALSE(DecodeFeedContainer(body, document));
    EXPECT_TRUE(document.empty());
}

}  // namespace
