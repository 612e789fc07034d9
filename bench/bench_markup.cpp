// Parse throughput of CMarkup next to pugixml on the same UTF-8 bytes, in
// one run, as interleaved paired rounds (bench/BenchRounds.h): MB/s of input
// (10^6 bytes) per second of the benchmark thread's CPU time, median of the
// rounds, and the median and range of the per-round time ratios.
//
// What each side includes, every time, from the same bytes:
// - CMarkup: decoding UTF-8 into a fresh wide buffer (wchar_t is 4 bytes
//   here, 2 in the product), building its element table, freeing both.
// - pugixml: copying the bytes into a fresh buffer of its own and building
//   its node tree in place, freeing it. This is Debian's libpugixml-dev,
//   the narrow (char) build: it keeps UTF-8 and converts nothing. The
//   like-for-like peer would be pugixml in its wide-character mode, but the
//   package ships no sources to build that from, and none is copied in.
// "parse" is loading alone; "parse+walk" also visits every element and reads
// every attribute (CMarkup maps attributes only when asked; pugixml builds
// them while parsing).
//
// Allocation is the same on both sides in each row: "heap" is the C
// library's allocator for every block, which is what the product's
// allocation amounts to (on Windows the text buffer is a plain heap block);
// "huge pages" routes both parsers' blocks through the native build's
// large-buffer allocator, which puts blocks of 32 MB and more into 2 MB
// pages (only CMarkup's wide copy of the 10 MB document is that large).
#include "ui/base/Platform.h"
#include "ui/markup/Markup.h"

#include "BenchRounds.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Stands in for the shipped skin when the source tree has none.
const char kSkinLike[] =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?>\r\n"
    "<Window size=\"1200,720\" caption=\"0,0,0,36\" shadowimage=\"file='Aero.png' corner='10,10,10,11'\">\r\n"
    "    <Font name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"12\" bold=\"false\" italic=\"false\" "
    "/>\r\n"
    "    <Default name=\"VScrollBar\" value=\"button1normalimage=&quot;file=&apos;scroll.png&apos; "
    "source=&apos;1,1,12,12&apos;&quot;\" />\r\n"
    "    <VerticalLayout>\r\n"
    "        <HorizontalLayout name=\"sys_titlebar\" height=\"36\" bkcolor=\"#FF251F29\">\r\n"
    "            <!-- title bar -->\r\n"
    "            <Button name=\"btn_sys_close\" tooltip=\"\xE5\x85\xB3\xE9\x97\xAD\" float=\"true\" pos=\"272,0,0,0\" "
    "width=\"28\" height=\"30\" normalimage=\"btn_close_nor.png\" hotimage=\"btn_close_hot.png\" />\r\n"
    "            <Label text=\"\xE4\xB8\xBB\xE9\xA1\xB5\" textcolor=\"#FFFFFFFF\" align=\"left+vcenter\" />\r\n"
    "        </HorizontalLayout>\r\n"
    "    </VerticalLayout>\r\n"
    "</Window>\r\n";

// A 10 MB document shaped like a skin: the body of `skin` (everything inside
// its root) repeated inside one root element.
std::string Generate(const std::string& skin, size_t target)
{
    const size_t open = skin.find("<Window");
    const size_t bodyStart = skin.find('>', open) + 1;
    const size_t bodyEnd = skin.rfind("</Window>");
    const std::string body = skin.substr(bodyStart, bodyEnd - bodyStart);
    std::string out = "<Window size=\"1200,720\">";
    while (out.size() + body.size() + 9 < target) out += body;
    out += "</Window>";
    return out;
}

size_t WalkMarkup(const CMarkupNode& root)
{
    size_t seen = 0;
    std::vector<CMarkupNode> pending{root};
    while (!pending.empty()) {
        CMarkupNode node = pending.back();
        pending.pop_back();
        for (; node.IsValid(); node = node.GetSibling()) {
            const int count = node.GetAttributeCount();
            for (int i = 0; i < count; ++i) seen += node.GetAttributeValue(i)[0];
            if (node.HasChildren()) pending.push_back(node.GetChild());
        }
    }
    return seen;
}

size_t WalkPugi(const pugi::xml_node& root)
{
    size_t seen = 0;
    std::vector<pugi::xml_node> pending{root};
    while (!pending.empty()) {
        pugi::xml_node node = pending.back();
        pending.pop_back();
        for (; node; node = node.next_sibling()) {
            for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) seen += a.value()[0];
            if (node.first_child()) pending.push_back(node.first_child());
        }
    }
    return seen;
}

volatile size_t g_sink;

void* PugiLargeAllocate(size_t size) { return Platform::AllocateLargeBuffer(size); }
void PugiLargeFree(void* block) { std::free(block); }
void* PugiHeapAllocate(size_t size) { return std::malloc(size); }

// Both parsers' blocks from the C library's allocator, or both through the
// large-buffer allocator.
void UseAllocator(bool hugePages)
{
    Platform::SetLargeBufferHugePages(hugePages);
    if (hugePages) {
        pugi::set_memory_management_functions(PugiLargeAllocate, PugiLargeFree);
    } else {
        pugi::set_memory_management_functions(PugiHeapAllocate, PugiLargeFree);
    }
}

const int kRounds = 15;
const size_t kBytesPerRound = 2000000;

void Report(const char* label, const std::string& bytes)
{
    const BYTE* data = reinterpret_cast<const BYTE*>(bytes.data());
    const DWORD size = static_cast<DWORD>(bytes.size());
    {
        CMarkup check;
        pugi::xml_document pugiCheck;
        if (!check.LoadFromMem(data, size, MARKUP_ENCODING_UTF8) ||
            !pugiCheck.load_buffer(bytes.data(), bytes.size())) {
            std::printf("%-26s could not be parsed by both parsers\n", label);
            return;
        }
    }
    for (const bool hugePages : {false, true}) {
        UseAllocator(hugePages);
        const std::string parseLabel = std::string(label) + (hugePages ? ", huge pages" : ", heap");
        const auto parse = Bench::Interleaved(
            bytes.size(), kRounds, kBytesPerRound,
            [&] {
                CMarkup doc;
                g_sink = doc.LoadFromMem(data, size, MARKUP_ENCODING_UTF8);
            },
            [&] {
                pugi::xml_document doc;
                g_sink = static_cast<bool>(doc.load_buffer(bytes.data(), bytes.size()));
            });
        Bench::PrintPair(parseLabel.c_str(), bytes.size(), "CMarkup parse", "pugixml(char) parse", parse);
        const auto walk = Bench::Interleaved(
            bytes.size(), kRounds, kBytesPerRound,
            [&] {
                CMarkup doc;
                doc.LoadFromMem(data, size, MARKUP_ENCODING_UTF8);
                g_sink = WalkMarkup(doc.GetRoot());
            },
            [&] {
                pugi::xml_document doc;
                doc.load_buffer(bytes.data(), bytes.size());
                g_sink = WalkPugi(doc.first_child());
            });
        Bench::PrintPair(parseLabel.c_str(), bytes.size(), "CMarkup parse+walk", "pugixml(char) parse+walk", walk);
    }
    UseAllocator(false);
}

}  // namespace

int main()
{
    const std::string root = VORNEX_SOURCE_DIR;
    std::string mainSkin = ReadFile(root + "/skin/MainWnd.xml");
    std::string exitSkin = ReadFile(root + "/skin/ExitWnd.xml");
    std::printf("Skin markup parse: CMarkup (UTF-8 -> wchar_t of %zu bytes, element table) vs pugixml %d.%d narrow "
                "char build from Debian (copy + in-place tree; no wide build available)\n",
                sizeof(wchar_t), PUGIXML_VERSION / 1000, PUGIXML_VERSION / 10 % 100);
    std::printf("%d interleaved rounds, thread CPU time; MB/s are medians; time ratio = CMarkup/pugixml per round, "
                "median [range]; below 1 means CMarkup is faster\n",
                kRounds);
    std::printf("%-26s %10s\n", "document, allocator", "bytes");
    if (mainSkin.empty()) {
        mainSkin = kSkinLike;
        Report("skin-like (built in)", mainSkin);
    } else {
        Report("MainWnd.xml", mainSkin);
    }
    if (!exitSkin.empty()) Report("ExitWnd.xml", exitSkin);
    // 1 MB keeps CMarkup's wide copy below the allocator's mmap threshold,
    // so the two sizes together show what fresh pages cost the 10 MB run.
    Report("generated 1 MB", Generate(mainSkin, 1000u * 1000u));
    Report("generated 10 MB", Generate(mainSkin, 10u * 1000u * 1000u));
    return 0;
}
