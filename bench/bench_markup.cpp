// Parse throughput of CMarkup next to pugixml on the same bytes, in one run.
// Figures are input megabytes (10^6 bytes) per second of the benchmark
// thread's CPU time (user and kernel, so page faults count), best of several
// rounds: on a shared, loaded machine wall-clock time mostly measures the
// other processes.
// "parse" is loading alone; "parse+walk" also visits every element and reads
// every attribute, since CMarkup maps attributes only when asked while
// pugixml builds them during parsing.
// Both sides do the whole job each time from the same UTF-8 bytes, with a
// new document object: CMarkup decodes into a fresh wide buffer (four
// bytes a character here) and builds its element table; pugixml copies the
// bytes into a fresh buffer of its own and builds its node tree. Freeing
// the document is timed too on both sides.
#include "ui/core/markup/Markup.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <time.h>
#include <vector>

using namespace SkinUI;

namespace {

// CPU time of the calling thread, in seconds.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

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

// Best MB/s of each parser over 9 rounds of about 2 MB of input each. The
// two run alternately, so a busy machine slows both alike.
template <typename FnA, typename FnB>
std::pair<double, double> Throughput(const std::string& bytes, FnA&& a, FnB&& b)
{
    const size_t repeats = std::max<size_t>(1, 2000000 / (bytes.size() + 1));
    double bestA = 0, bestB = 0;
    auto measure = [&](auto& fn) {
        const double start = ThreadSeconds();
        for (size_t i = 0; i < repeats; ++i) fn();
        const double seconds = ThreadSeconds() - start;
        return bytes.size() * repeats / seconds / 1e6;
    };
    for (int round = 0; round < 9; ++round) {
        bestA = std::max(bestA, measure(a));
        bestB = std::max(bestB, measure(b));
    }
    return {bestA, bestB};
}

volatile size_t g_sink;

void Report(const char* label, const std::string& bytes)
{
    const BYTE* data = reinterpret_cast<const BYTE*>(bytes.data());
    const DWORD size = static_cast<DWORD>(bytes.size());
    {
        CMarkup check;
        pugi::xml_document pugiCheck;
        if (!check.LoadFromMem(data, size, MARKUP_ENCODING_UTF8) ||
            !pugiCheck.load_buffer(bytes.data(), bytes.size())) {
            std::printf("%-22s could not be parsed by both parsers\n", label);
            return;
        }
    }
    const auto parse = Throughput(
        bytes,
        [&] {
            CMarkup doc;
            g_sink = doc.LoadFromMem(data, size, MARKUP_ENCODING_UTF8);
        },
        [&] {
            pugi::xml_document doc;
            g_sink = static_cast<bool>(doc.load_buffer(bytes.data(), bytes.size()));
        });
    const auto walk = Throughput(
        bytes,
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
    const double markup = parse.first, pugi = parse.second;
    const double markupWalk = walk.first, pugiWalk = walk.second;
    std::printf("%-22s %10zu  parse: CMarkup %8.1f  pugixml %8.1f  ratio %.2f   parse+walk: CMarkup %8.1f  pugixml "
                "%8.1f  ratio %.2f\n",
                label, bytes.size(), markup, pugi, markup / pugi, markupWalk, pugiWalk, markupWalk / pugiWalk);
}

}  // namespace

int main()
{
    const std::string root = VORNEX_SOURCE_DIR;
    std::string mainSkin = ReadFile(root + "/skin/MainWnd.xml");
    std::string exitSkin = ReadFile(root + "/skin/ExitWnd.xml");
    std::printf("Skin markup parse throughput, MB/s of input (best of 9 alternating rounds), wchar_t is %zu bytes\n",
                sizeof(wchar_t));
    std::printf("%-22s %10s\n", "document", "bytes");
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
