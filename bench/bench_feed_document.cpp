// Throughput of CFeedDocument::Parse on a 10 MB feed-shaped document, next
// to expat parsing the same bytes in the same run (expat with empty element
// handlers, so that it reports every element and attribute as a consumer
// would). Best of several runs each; the figures are printed, never judged.

#include <expat.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/feed/FeedDocument.h"

namespace {

std::string MakeFeed(size_t targetBytes)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<config>\r\n<StaticAd>\r\n";
    char line[256];
    size_t n = 0;
    for (; n < 12; ++n) {
        std::snprintf(line, sizeof line, "  <ad text=\"Static offer %zu\" url=\"http://www.example.com/s/%zu\"/>\r\n",
                      n, n);
        out += line;
    }
    out += "</StaticAd>\r\n<ScrollAd>\r\n";
    const size_t itemsStart = out.size();
    for (size_t item = 0; item < 3; ++item) {
        out += " <item>\r\n";
        const size_t itemEnd = itemsStart + (targetBytes - itemsStart) * (item + 1) / 3;
        for (size_t i = 0; out.size() < itemEnd; ++i, ++n) {
            if (i % 10 == 9)
                std::snprintf(
                    line, sizeof line,
                    "  <ad text='Limited &amp; exclusive offer #%zu' url='http://www.example.com/p?id=%zu'></ad>\r\n",
                    n, n);
            else
                std::snprintf(
                    line, sizeof line,
                    "  <ad text=\"Short links made simple, day %zu\" url=\"http://www.example.com/promo/%zu\"/>\r\n", n,
                    n);
            out += line;
        }
        out += " <!-- end of item --></item>\r\n";
    }
    out += "</ScrollAd>\r\n</config>\r\n";
    return out;
}

template <typename F>
double BestSeconds(int runs, F&& run)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

void XMLCALL OnStart(void* data, const XML_Char*, const XML_Char**) { ++*static_cast<size_t*>(data); }
void XMLCALL OnEnd(void*, const XML_Char*) {}

}  // namespace

int main()
{
    const std::string bytes = MakeFeed(10 * 1024 * 1024);
    const std::wstring text(bytes.begin(), bytes.end());  // ASCII: one unit per byte
    const double mb = bytes.size() / (1024.0 * 1024.0);
    const int runs = 10;

    size_t records = 0;
    bool ok = false;
    const double ours = BestSeconds(runs, [&] {
        CFeedDocument doc;
        ok = doc.Parse(text);
        records = doc.GetRecordCount();
    });

    size_t elements = 0;
    bool expatOk = false;
    const double expat = BestSeconds(runs, [&] {
        XML_Parser parser = XML_ParserCreate(nullptr);
        elements = 0;
        XML_SetUserData(parser, &elements);
        XML_SetElementHandler(parser, OnStart, OnEnd);
        expatOk = XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), 1) == XML_STATUS_OK;
        XML_ParserFree(parser);
    });

    std::printf("document: %.2f MB, %zu elements (well-formed: ours %s, expat %s)\n", mb, records - 1,
                ok ? "yes" : "no", expatOk ? "yes" : "no");
    std::printf("CFeedDocument::Parse: %8.2f ms  %8.1f MB/s\n", ours * 1e3, mb / ours);
    std::printf("expat XML_Parse:      %8.2f ms  %8.1f MB/s  (%zu elements)\n", expat * 1e3, mb / expat, elements);
    std::printf("ratio (expat time / Parse time): %.2f\n", expat / ours);
    return ok && expatOk ? 0 : 1;
}
