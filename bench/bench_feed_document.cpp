// The feed's reading path next to expat doing the same job, in one run, as
// interleaved paired rounds (bench/BenchRounds.h) on feed documents of 3 KB
// (the size the service sends), 1 MiB and 4 MiB.
//
// Both sides start from the same unpacked bytes and end with the same
// advertisement lists (checked once before timing):
// - ours: ReadFeedLists, the code the feed thread runs behind the unpacking:
//   widen the whole text to wchar_t (Platform::MultiByteToWide; code page 0,
//   which is UTF-8 in the native build), hand it to CFeedDocument::Parse by
//   move, walk config / StaticAd / ad and config / ScrollAd / item / ad and
//   read every ad's text and url (entities decoded) into the lists.
// - expat: one XML_Parse of the bytes with a start-element handler that
//   follows the same paths and copies every ad's text and url (expat has
//   decoded the entities), widened the same way, into the same lists.
// Creating and freeing the parser, the document and the lists is timed on
// both sides.

#include <expat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchRounds.h"
#include "app/feed/AdItem.h"
#include "app/feed/FeedLoader.h"
#include "ui/base/Platform.h"

using namespace Vornex;

namespace {

struct Lists {
    std::vector<AdItem> staticAds;
    std::vector<AdItem> scrollAds[3];

    bool operator==(const Lists& other) const
    {
        auto same = [](const std::vector<AdItem>& a, const std::vector<AdItem>& b) {
            if (a.size() != b.size()) return false;
            for (size_t i = 0; i < a.size(); ++i) {
                if (a[i].text != b[i].text || a[i].url != b[i].url) return false;
            }
            return true;
        };
        return same(staticAds, other.staticAds) && same(scrollAds[0], other.scrollAds[0]) &&
               same(scrollAds[1], other.scrollAds[1]) && same(scrollAds[2], other.scrollAds[2]);
    }
    size_t Count() const { return staticAds.size() + scrollAds[0].size() + scrollAds[1].size() + scrollAds[2].size(); }
};

// A feed as the service writes it: a few static ads, then three items of
// scrolling ads, with Chinese captions, both quote kinds and an entity now
// and then.
std::string MakeFeed(size_t targetBytes)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n<StaticAd>\r\n";
    char line[320];
    size_t n = 0;
    for (; n < 3; ++n) {
        std::snprintf(line, sizeof line,
                      "  <ad text=\"\xE7\x9F\xAD\xE7\xBD\x91\xE5\x9D\x80 %zu\" url=\"http://127.0.0.1/s/%zu\"/>\r\n", n,
                      n);
        out += line;
    }
    out += "</StaticAd>\r\n<ScrollAd>\r\n";
    const size_t itemsStart = out.size();
    const size_t tail = 40;
    const size_t body = targetBytes > itemsStart + tail ? targetBytes - itemsStart - tail : 0;
    for (size_t item = 0; item < 3; ++item) {
        out += " <item>\r\n";
        const size_t itemEnd = itemsStart + body * (item + 1) / 3;
        size_t i = 0;
        do {
            if (i % 10 == 9) {
                std::snprintf(line, sizeof line,
                              "  <ad text='\xE9\x99\x90\xE6\x97\xB6 &amp; \xE7\x8B\xAC\xE5\xAE\xB6 #%zu' "
                              "url='http://127.0.0.1/p?id=%zu&amp;k=1'></ad>\r\n",
                              n, n);
            } else {
                std::snprintf(line, sizeof line,
                              "  <ad text=\"\xE7\x9F\xAD\xE7\xBD\x91\xE5\x9D\x80\xEF\xBC\x8C\xE7\xAE\x80\xE5\x8D\x95 "
                              "day %zu\" url=\"http://127.0.0.1/promo/%zu\"/>\r\n",
                              n, n);
            }
            out += line;
            ++i;
            ++n;
        } while (out.size() < itemEnd);
        out += " </item>\r\n";
    }
    out += "</ScrollAd>\r\n</config>\r\n";
    return out;
}

void ReadOurs(const std::string& bytes, Lists& lists) { ReadFeedLists(bytes, 0, lists.staticAds, lists.scrollAds); }

// Expat's side: the paths of the feed loader, followed by depth.
struct ExpatWalk {
    Lists* lists = nullptr;
    int depth = 0;
    bool inConfig = false;
    bool staticSeen = false;
    bool scrollSeen = false;
    int section = 0;  // 1 inside StaticAd, 2 inside ScrollAd
    int item = -1;    // index of the current item of ScrollAd
    bool inItem = false;
};

std::wstring Widen(const char* value) { return SkinUI::Platform::MultiByteToWide(value, std::strlen(value), 0); }

AdItem ReadAd(const XML_Char** attributes)
{
    AdItem ad;
    bool text = false, url = false;
    for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
        if (!text && std::strcmp(a[0], "text") == 0) {
            ad.text = Widen(a[1]);
            text = true;
        } else if (!url && std::strcmp(a[0], "url") == 0) {
            ad.url = Widen(a[1]);
            url = true;
        }
    }
    return ad;
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    ExpatWalk& w = *static_cast<ExpatWalk*>(data);
    const int depth = w.depth++;
    if (depth == 0) {
        w.inConfig = std::strcmp(name, "config") == 0;
    } else if (depth == 1 && w.inConfig) {
        if (!w.staticSeen && !w.scrollSeen && std::strcmp(name, "StaticAd") == 0) {
            w.staticSeen = true;
            w.section = 1;
        } else if (!w.scrollSeen && std::strcmp(name, "ScrollAd") == 0) {
            w.scrollSeen = true;
            w.section = 2;
        }
    } else if (depth == 2 && w.section == 1 && std::strcmp(name, "ad") == 0) {
        w.lists->staticAds.push_back(ReadAd(attributes));
    } else if (depth == 2 && w.section == 2 && std::strcmp(name, "item") == 0) {
        w.inItem = ++w.item < 3;
    } else if (depth == 3 && w.inItem && std::strcmp(name, "ad") == 0) {
        w.lists->scrollAds[w.item].push_back(ReadAd(attributes));
    }
}

void XMLCALL OnEnd(void* data, const XML_Char*)
{
    ExpatWalk& w = *static_cast<ExpatWalk*>(data);
    const int depth = --w.depth;
    if (depth == 1) w.section = 0;
    if (depth == 2) w.inItem = false;
}

bool ReadExpat(const std::string& bytes, Lists& lists)
{
    ExpatWalk walk;
    walk.lists = &lists;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &walk);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    const bool ok = XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return ok;
}

volatile size_t g_sink;

}  // namespace

int main()
{
    const int rounds = 15;
    std::printf("Feed reading: ReadFeedLists (widen to wchar_t of %zu bytes, CFeedDocument::Parse by move, read every "
                "ad's text and url) vs expat %d.%d.%d (XML_Parse with handlers copying every ad's text and url, "
                "widened the same way)\n",
                sizeof(wchar_t), XML_MAJOR_VERSION, XML_MINOR_VERSION, XML_MICRO_VERSION);
    std::printf("%d interleaved rounds, thread CPU time; MB/s are medians; time ratio = ours/expat per round, median "
                "[range]; below 1 means ours is faster\n",
                rounds);
    const struct {
        const char* label;
        size_t bytes;
    } sizes[] = {{"feed 3 KB", 3 * 1024}, {"feed 1 MiB", 1024 * 1024}, {"feed 4 MiB", 4 * 1024 * 1024}};
    int status = 0;
    for (const auto& size : sizes) {
        const std::string bytes = MakeFeed(size.bytes);
        Lists ours, theirs;
        ReadOurs(bytes, ours);
        if (!ReadExpat(bytes, theirs) || !(ours == theirs) || ours.Count() == 0) {
            std::printf("%-26s the two sides disagree on the lists; not timed\n", size.label);
            status = 1;
            continue;
        }
        const auto result = Bench::Interleaved(
            bytes.size(), rounds, 4000000,
            [&] {
                Lists lists;
                ReadOurs(bytes, lists);
                g_sink = lists.Count();
            },
            [&] {
                Lists lists;
                g_sink = ReadExpat(bytes, lists);
            });
        char label[64];
        std::snprintf(label, sizeof label, "%s, %zu ads", size.label, ours.Count());
        Bench::PrintPair(label, bytes.size(), "ReadFeedLists", "expat + handlers", result);
    }
    return status;
}
