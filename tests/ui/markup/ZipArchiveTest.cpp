// ZipArchive: archives written by common tools read byte-exactly; hand-built
// archives pin down lookup rules, buffer results and every hostile layout.
#include "ui/markup/ZipArchive.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

using Bytes = std::vector<unsigned char>;

using ArchivePtr = std::unique_ptr<ZipArchive>;

ArchivePtr OpenBytes(const Bytes& bytes) { return ZipArchive::OpenMemory(bytes.data(), bytes.size()); }

std::string Narrow(const std::wstring& text) { return Platform::WideToMultiByte(text.data(), text.size(), 65001); }

// ---------------------------------------------------------------------------
// A minimal archive writer whose layout is recorded, so tests can corrupt
// exactly one field.

void Put16(Bytes& b, size_t at, unsigned v)
{
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

void Put32(Bytes& b, size_t at, unsigned v)
{
    Put16(b, at, v & 0xffff);
    Put16(b, at + 2, v >> 16);
}

unsigned Get32(const Bytes& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<unsigned>(b[at + 3]) << 24);
}

void Append16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

void Append32(Bytes& b, unsigned v)
{
    Append16(b, v & 0xffff);
    Append16(b, v >> 16);
}

void AppendText(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

std::string RawDeflate(const std::string& data)
{
    z_stream s;
    std::memset(&s, 0, sizeof(s));
    EXPECT_EQ(Z_OK, deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY));
    std::string out(deflateBound(&s, data.size()), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(Z_STREAM_END, deflate(&s, Z_FINISH));
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// 2021-03-04 05:06:06 in DOS form.
const unsigned kDosDate = ((2021 - 1980) << 9) | (3 << 5) | 4;
const unsigned kDosTime = (5 << 11) | (6 << 5) | 3;

unsigned long long TicksFromUnix(long long seconds)
{
    return static_cast<unsigned long long>(seconds + 11644473600LL) * 10000000ULL;
}

struct TestEntry {
    std::string name;
    std::string content;
    bool deflate = false;
    unsigned flags = 0;
    std::string localExtra;
};

struct Layout {
    std::vector<size_t> local;    // local header of each entry
    std::vector<size_t> data;     // first data byte of each entry
    std::vector<size_t> central;  // central record of each entry
    size_t directory = 0;
    size_t end = 0;
};

Bytes BuildArchive(const std::vector<TestEntry>& entries, Layout* layout = nullptr, const std::string& comment = "")
{
    Layout l;
    Bytes b;
    std::vector<std::string> stored;
    for (const TestEntry& e : entries) {
        stored.push_back(e.deflate ? RawDeflate(e.content) : e.content);
        const unsigned crc =
            crc32(0, reinterpret_cast<const Bytef*>(e.content.data()), static_cast<uInt>(e.content.size()));
        l.local.push_back(b.size());
        Append32(b, 0x04034b50);
        Append16(b, 20);
        Append16(b, e.flags);
        Append16(b, e.deflate ? 8 : 0);
        Append16(b, kDosTime);
        Append16(b, kDosDate);
        Append32(b, crc);
        Append32(b, static_cast<unsigned>(stored.back().size()));
        Append32(b, static_cast<unsigned>(e.content.size()));
        Append16(b, static_cast<unsigned>(e.name.size()));
        Append16(b, static_cast<unsigned>(e.localExtra.size()));
        AppendText(b, e.name);
        AppendText(b, e.localExtra);
        l.data.push_back(b.size());
        AppendText(b, stored.back());
    }
    l.directory = b.size();
    for (size_t i = 0; i < entries.size(); ++i) {
        const TestEntry& e = entries[i];
        l.central.push_back(b.size());
        Append32(b, 0x02014b50);
        Append16(b, 0x0314);
        Append16(b, 20);
        // Flags, method, time, date, CRC and sizes mirror the local header.
        b.insert(b.end(), b.begin() + static_cast<std::ptrdiff_t>(l.local[i] + 6),
                 b.begin() + static_cast<std::ptrdiff_t>(l.local[i] + 26));
        Append16(b, static_cast<unsigned>(e.name.size()));
        Append16(b, 0);
        Append16(b, 0);
        Append16(b, 0);
        Append16(b, 0);
        Append32(b, 0x81a40020);  // archive bit, Unix mode 0644 in the high word
        Append32(b, static_cast<unsigned>(l.local[i]));
        AppendText(b, e.name);
    }
    l.end = b.size();
    Append32(b, 0x06054b50);
    Append16(b, 0);
    Append16(b, 0);
    Append16(b, static_cast<unsigned>(entries.size()));
    Append16(b, static_cast<unsigned>(entries.size()));
    Append32(b, static_cast<unsigned>(l.end - l.directory));
    Append32(b, static_cast<unsigned>(l.directory));
    Append16(b, static_cast<unsigned>(comment.size()));
    AppendText(b, comment);
    if (layout) *layout = l;
    return b;
}

std::string Repeated(const std::string& piece, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

const std::string kStoredText = "stored entry text";
const std::string kDeflatedText = Repeated("<Button name=\"close\" normalimage=\"btn.png\" />\n", 80);

std::vector<TestEntry> BaseEntries()
{
    TestEntry a;
    a.name = "a.txt";
    a.content = kStoredText;
    TestEntry b;
    b.name = "b.xml";
    b.content = kDeflatedText;
    b.deflate = true;
    return {a, b};
}

Bytes Extract(ZipArchive& archive, int index, size_t capacity, unsigned& result)
{
    Bytes out(capacity);
    result = archive.ExtractToMemory(index, out.data(), out.size());
    return out;
}

std::string AsText(const Bytes& b) { return std::string(b.begin(), b.end()); }

// ---------------------------------------------------------------------------
// Archives written by other tools (made at build time by make_zip_fixtures.sh).

struct ToolArchive {
    const wchar_t* file;
    std::vector<std::pair<std::wstring, std::wstring>> entries;  // entry name, original file
};

std::wstring Fixture(const std::wstring& relative) { return std::wstring(ZIP_FIXTURE_DIR) + L"/" + relative; }

Bytes ReadFixture(const std::wstring& relative)
{
    Bytes bytes;
    EXPECT_EQ(Platform::ReadResult::Ok, Platform::ReadWholeFile(Fixture(relative).c_str(), bytes, 8u << 20))
        << Narrow(relative);
    return bytes;
}

std::vector<ToolArchive> ToolArchives()
{
    const std::vector<std::pair<std::wstring, std::wstring>> common = {
        {L"skin/MainWnd.xml", L"content/skin/MainWnd.xml"},
        {L"skin/ExitWnd.xml", L"content/skin/ExitWnd.xml"},
        {L"skin/empty.txt", L"content/skin/empty.txt"},
        {L"skin/images/noise.bin", L"content/skin/images/noise.bin"},
    };
    auto withUtf8Name = common;
    withUtf8Name.push_back({L"skin/\u76ae\u80a4.txt", L"content/skin/\u76ae\u80a4.txt"});
    return {
        {L"zip_plain.zip", common},
        {L"zip_piped.zip", common},
        {L"zip_stdin.zip", {{L"-", L"content/skin/MainWnd.xml"}}},
        {L"py_stored.zip", withUtf8Name},
        {L"py_deflated.zip", withUtf8Name},
        {L"sevenzip.zip", common},
        {L"comment.zip", {{L"skin/ExitWnd.xml", L"content/skin/ExitWnd.xml"}}},
        {L"stub.zip", common},
    };
}

void ExpectEntriesReadExactly(ZipArchive& archive, const ToolArchive& tool)
{
    for (const auto& entry : tool.entries) {
        SCOPED_TRACE(Narrow(entry.first));
        const Bytes original = ReadFixture(entry.second);
        int index = -1;
        ZipEntryInfo info;
        ASSERT_EQ(ZIP_RESULT_OK, archive.FindEntry(entry.first.c_str(), index, info));
        EXPECT_EQ(index, info.index);
        EXPECT_EQ(entry.first, std::wstring(info.name));
        ASSERT_EQ(static_cast<long>(original.size()), info.uncompressedSize);
        // Exactly the declared size, as the markup loader extracts.
        unsigned result = 0;
        const Bytes extracted = Extract(archive, index, static_cast<size_t>(info.uncompressedSize), result);
        EXPECT_TRUE(result == ZIP_RESULT_OK || result == ZIP_RESULT_MORE) << std::hex << result;
        EXPECT_TRUE(extracted == original);
    }
}

TEST(ZipArchiveToolArchives, EveryEntryReadsByteExactlyFromFile)
{
    for (const ToolArchive& tool : ToolArchives()) {
        SCOPED_TRACE(Narrow(tool.file));
        ArchivePtr archive(ZipArchive::OpenFile(Fixture(tool.file).c_str()));
        ASSERT_TRUE(archive);
        ExpectEntriesReadExactly(*archive, tool);
    }
}

TEST(ZipArchiveToolArchives, EveryEntryReadsByteExactlyFromMemory)
{
    for (const ToolArchive& tool : ToolArchives()) {
        SCOPED_TRACE(Narrow(tool.file));
        const Bytes bytes = ReadFixture(tool.file);
        ArchivePtr archive = OpenBytes(bytes);
        ASSERT_TRUE(archive);
        ExpectEntriesReadExactly(*archive, tool);
    }
}

TEST(ZipArchiveToolArchives, ExtendedTimestampReplacesDosTime)
{
    // zip stores the file's time in a "UT" field (exact seconds); Python's
    // zipfile has only the DOS stamp (two-second steps, written in UTC here).
    const long long written = 1614834367;  // 2021-03-04 05:06:07 UTC
    const struct {
        const wchar_t* file;
        long long seconds;
    } cases[] = {{L"zip_plain.zip", written}, {L"py_deflated.zip", written - 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.file));
        ArchivePtr archive(ZipArchive::OpenFile(Fixture(c.file).c_str()));
        ASSERT_TRUE(archive);
        int index = -1;
        ZipEntryInfo info;
        ASSERT_EQ(ZIP_RESULT_OK, archive->FindEntry(L"skin/ExitWnd.xml", index, info));
        EXPECT_EQ(TicksFromUnix(c.seconds), info.modificationTime);
    }
}

TEST(ZipArchiveToolArchives, SourcesThatAreNoArchiveDoNotOpen)
{
    EXPECT_EQ(nullptr, ZipArchive::OpenFile(Fixture(L"no-such-file.zip").c_str()));
    EXPECT_EQ(nullptr, ZipArchive::OpenFile(Fixture(L"content/skin/MainWnd.xml").c_str()));
    EXPECT_EQ(nullptr, ZipArchive::OpenFile(Fixture(L"content/skin/empty.txt").c_str()));
    EXPECT_EQ(nullptr, ZipArchive::OpenFile(nullptr));
    const unsigned char byte = 0;
    EXPECT_EQ(nullptr, ZipArchive::OpenMemory(&byte, 0));
    EXPECT_EQ(nullptr, ZipArchive::OpenMemory(nullptr, 10));
}

// ---------------------------------------------------------------------------
// Locating the end record.

TEST(ZipArchiveEndRecord, FoundWhereverTheCommentPlacesIt)
{
    // Comment lengths around the 1,024-byte window steps put the signature on
    // and across every window edge; 65,513 is the longest comment that keeps
    // the record within the scanned 65,535 bytes.
    std::vector<std::string> comments;
    for (size_t n = 990; n <= 1040; ++n) comments.push_back(std::string(n, 'c'));
    for (size_t n = 2030; n <= 2080; ++n) comments.push_back(std::string(n, 'c'));
    comments.push_back("");
    comments.push_back(std::string(65513, 'c'));
    // A signature too close to the end to start a whole record is skipped.
    comments.push_back(std::string("comment PK\x05\x06xyz", 14));
    for (const std::string& comment : comments) {
        SCOPED_TRACE(comment.size());
        const Bytes bytes = BuildArchive(BaseEntries(), nullptr, comment);
        ArchivePtr archive = OpenBytes(bytes);
        ASSERT_TRUE(archive);
        int index = -1;
        ZipEntryInfo info;
        EXPECT_EQ(ZIP_RESULT_OK, archive->FindEntry(L"b.xml", index, info));
        EXPECT_EQ(1, index);
    }
}

TEST(ZipArchiveEndRecord, RecordBeyondTheScannedSpanIsNotFound)
{
    const Bytes bytes = BuildArchive(BaseEntries(), nullptr, std::string(65514, 'c'));
    EXPECT_FALSE(OpenBytes(bytes));
}

TEST(ZipArchiveEndRecord, NearestToTheEndWinsAndOffsetsShiftByThePrefix)
{
    TestEntry later;
    later.name = "later.txt";
    later.content = "from the second archive";
    later.deflate = true;
    Bytes bytes = BuildArchive(BaseEntries());
    const Bytes second = BuildArchive({later});
    bytes.insert(bytes.end(), second.begin(), second.end());

    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    int index = -1;
    ZipEntryInfo info;
    EXPECT_EQ(ZIP_RESULT_NOT_FOUND, archive->FindEntry(L"a.txt", index, info));
    ASSERT_EQ(ZIP_RESULT_OK, archive->FindEntry(L"later.txt", index, info));
    unsigned result = 0;
    EXPECT_EQ(later.content, AsText(Extract(*archive, index, later.content.size(), result)));
    EXPECT_EQ(ZIP_RESULT_MORE, result);
}

// ---------------------------------------------------------------------------
// Looking entries up.

TEST(ZipArchiveFindEntry, NamesMatchByTheLookupRules)
{
    std::vector<TestEntry> entries(5);
    entries[0].name = "skin/MainWnd.xml";
    entries[1].name = "Dir/Sub/Img.PNG";
    entries[2].name = "\xC3\x84.txt";  // "Ä.txt", flagged as UTF-8
    entries[2].flags = 0x0800;
    entries[3].name = "dup.txt";
    entries[4].name = "DUP.TXT";
    const Bytes bytes = BuildArchive(entries);
    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);

    const struct {
        const wchar_t* wanted;
        bool ignoreCase;
        int index;  // -1: not found
    } cases[] = {
        {L"skin/MainWnd.xml", false, 0}, {L"SKIN/MAINWND.XML", true, 0},   {L"skin/mainwnd.xml", false, -1},
        {L"skin\\MainWnd.xml", true, 0}, {L"dir\\sub\\img.png", true, 1},  {L"MainWnd.xml", true, -1},
        {L"skin/MainWnd.xm", true, -1},  {L"skin/MainWnd.xml2", true, -1}, {L"\u00c4.txt", false, 2},
        {L"\u00e4.txt", true, -1},  // only a-z fold
        {L"Dup.txt", true, 3},      // the first match wins
        {L"DUP.TXT", false, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.wanted));
        int index = 99;
        ZipEntryInfo info;
        const unsigned result = archive->FindEntry(c.wanted, index, info, c.ignoreCase);
        EXPECT_EQ(c.index < 0 ? ZIP_RESULT_NOT_FOUND : ZIP_RESULT_OK, result);
        EXPECT_EQ(c.index, index);
    }
}

TEST(ZipArchiveFindEntry, BadNamesAreRefused)
{
    const Bytes bytes = BuildArchive(BaseEntries());
    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    int index = 0;
    ZipEntryInfo info;
    EXPECT_EQ(ZIP_RESULT_NOT_FOUND, archive->FindEntry(std::wstring(255, L'a').c_str(), index, info));
    EXPECT_EQ(ZIP_RESULT_BAD_ARGUMENT, archive->FindEntry(std::wstring(256, L'a').c_str(), index, info));
    EXPECT_EQ(ZIP_RESULT_BAD_ARGUMENT, archive->FindEntry(L"", index, info));
    EXPECT_EQ(ZIP_RESULT_BAD_ARGUMENT, archive->FindEntry(nullptr, index, info));
    EXPECT_EQ(-1, index);
}

TEST(ZipArchiveFindEntry, InfoComesFromCentralRecordAndTimestampField)
{
    std::vector<TestEntry> entries = BaseEntries();
    // "UT" with all three times, behind an unrelated field.
    Bytes extra;
    Append16(extra, 0xcafe);
    Append16(extra, 2);
    Append16(extra, 0);
    Append16(extra, 0x5455);
    Append16(extra, 13);
    extra.push_back(7);
    Append32(extra, 1000000000);
    Append32(extra, 1100000000);
    Append32(extra, 900000000);
    entries[0].localExtra = AsText(extra);
    // A timestamp field announcing three times but holding only one.
    Bytes shortExtra;
    Append16(shortExtra, 0x5455);
    Append16(shortExtra, 5);
    shortExtra.push_back(7);
    Append32(shortExtra, 1200000000);
    entries[1].localExtra = AsText(shortExtra);
    const Bytes bytes = BuildArchive(entries);
    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);

    int index = -1;
    ZipEntryInfo info;
    ASSERT_EQ(ZIP_RESULT_OK, archive->FindEntry(L"A.TXT", index, info));
    EXPECT_EQ(0, info.index);
    EXPECT_EQ(std::wstring(L"a.txt"), info.name);
    EXPECT_EQ(0x20u, info.attributes);
    EXPECT_EQ(static_cast<long>(kStoredText.size()), info.compressedSize);
    EXPECT_EQ(static_cast<long>(kStoredText.size()), info.uncompressedSize);
    EXPECT_EQ(TicksFromUnix(1000000000), info.modificationTime);
    EXPECT_EQ(TicksFromUnix(1100000000), info.accessTime);
    EXPECT_EQ(TicksFromUnix(900000000), info.creationTime);

    ASSERT_EQ(ZIP_RESULT_OK, archive->FindEntry(L"b.xml", index, info));
    EXPECT_EQ(1, info.index);
    EXPECT_LT(info.compressedSize, info.uncompressedSize);
    EXPECT_EQ(static_cast<long>(kDeflatedText.size()), info.uncompressedSize);
    EXPECT_EQ(TicksFromUnix(1200000000), info.modificationTime);
    EXPECT_EQ(info.modificationTime, info.accessTime);

    // Without a timestamp field the DOS stamp (2021-03-04 05:06:06) serves.
    const Bytes plain = BuildArchive(BaseEntries());
    ArchivePtr plainArchive = OpenBytes(plain);
    ASSERT_EQ(ZIP_RESULT_OK, plainArchive->FindEntry(L"a.txt", index, info));
    EXPECT_EQ(TicksFromUnix(1614834366), info.modificationTime);
    EXPECT_EQ(info.modificationTime, info.creationTime);
}

// ---------------------------------------------------------------------------
// Extracting into the caller's buffer.

TEST(ZipArchiveExtract, BufferSizeDecidesBetweenOkAndMore)
{
    const Bytes bytes = BuildArchive(BaseEntries());
    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    const struct {
        int index;
        const std::string* text;
    } entries[] = {{0, &kStoredText}, {1, &kDeflatedText}};
    for (const auto& e : entries) {
        SCOPED_TRACE(e.index);
        const size_t size = e.text->size();
        const struct {
            size_t capacity;
            unsigned result;
        } cases[] = {
            {size + 1, ZIP_RESULT_OK}, {size, ZIP_RESULT_MORE}, {size / 2, ZIP_RESULT_MORE}, {1, ZIP_RESULT_MORE}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.capacity);
            // Guard bytes behind the capacity must stay untouched.
            Bytes buffer(c.capacity + 64, 0xab);
            EXPECT_EQ(c.result, archive->ExtractToMemory(e.index, buffer.data(), c.capacity));
            const size_t filled = c.capacity < size ? c.capacity : size;
            EXPECT_EQ(e.text->substr(0, filled),
                      std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(filled)));
            for (size_t i = filled; i < buffer.size(); ++i) ASSERT_EQ(0xab, buffer[i]) << i;
        }
        EXPECT_EQ(ZIP_RESULT_MORE, archive->ExtractToMemory(e.index, nullptr, 0));
    }
}

TEST(ZipArchiveExtract, RepeatedExtractionStartsOver)
{
    const Bytes bytes = BuildArchive(BaseEntries());
    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    for (int round = 0; round < 2; ++round) {
        unsigned result = 0;
        EXPECT_EQ(kDeflatedText, AsText(Extract(*archive, 1, kDeflatedText.size(), result)));
        EXPECT_EQ(ZIP_RESULT_MORE, result);
    }
}

TEST(ZipArchiveExtract, EmptyEntriesAndBadArguments)
{
    std::vector<TestEntry> entries(2);
    entries[0].name = "empty-stored";
    entries[1].name = "empty-deflated";
    entries[1].deflate = true;
    const Bytes bytes = BuildArchive(entries);
    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    unsigned char byte = 0;
    EXPECT_EQ(ZIP_RESULT_OK, archive->ExtractToMemory(0, nullptr, 0));
    EXPECT_EQ(ZIP_RESULT_OK, archive->ExtractToMemory(1, nullptr, 0));
    EXPECT_EQ(ZIP_RESULT_OK, archive->ExtractToMemory(1, &byte, 1));
    EXPECT_EQ(ZIP_RESULT_BAD_INDEX, archive->ExtractToMemory(2, &byte, 1));
    EXPECT_EQ(ZIP_RESULT_BAD_INDEX, archive->ExtractToMemory(-1, &byte, 1));
    EXPECT_EQ(ZIP_RESULT_BAD_ARGUMENT, archive->ExtractToMemory(0, nullptr, 1));
}

// ---------------------------------------------------------------------------
// Hostile archives: one corrupted field each, on a stored "a.txt" followed by
// a deflated "b.xml".

void SetSizes(Bytes& b, const Layout& l, size_t entry, unsigned compressed, unsigned uncompressed)
{
    Put32(b, l.central[entry] + 20, compressed);
    Put32(b, l.central[entry] + 24, uncompressed);
    Put32(b, l.local[entry] + 18, compressed);
    Put32(b, l.local[entry] + 22, uncompressed);
}

void SetBoth16(Bytes& b, const Layout& l, size_t entry, size_t localField, unsigned value)
{
    Put16(b, l.local[entry] + localField, value);
    Put16(b, l.central[entry] + localField + 2, value);
}

using Tamper = std::function<void(Bytes&, const Layout&)>;

struct HostileCase {
    const char* what;
    Tamper tamper;
};

TEST(ZipArchiveHostile, BrokenDirectoriesDoNotOpen)
{
    const HostileCase cases[] = {
        {"no end record", [](Bytes& b, const Layout& l) { b[l.end] = 'X'; }},
        {"directory offset past the record",
         [](Bytes& b, const Layout& l) { Put32(b, l.end + 16, static_cast<unsigned>(l.end)); }},
        {"directory size past the record", [](Bytes& b, const Layout& l) { Put32(b, l.end + 12, 0x7fffffff); }},
        {"directory offset wraps around", [](Bytes& b, const Layout& l) { Put32(b, l.end + 16, 0xfffffff0); }},
        {"more entries than fit the directory",
         [](Bytes& b, const Layout& l) {
             Put16(b, l.end + 8, 60000);
             Put16(b, l.end + 10, 60000);
         }},
        {"one entry too many",
         [](Bytes& b, const Layout& l) {
             Put16(b, l.end + 8, 3);
             Put16(b, l.end + 10, 3);
         }},
        {"second disk", [](Bytes& b, const Layout& l) { Put16(b, l.end + 4, 1); }},
        {"directory on another disk", [](Bytes& b, const Layout& l) { Put16(b, l.end + 6, 1); }},
        {"entries spread over disks", [](Bytes& b, const Layout& l) { Put16(b, l.end + 8, 1); }},
        {"central signature broken", [](Bytes& b, const Layout& l) { b[l.central[1]] = 'X'; }},
        {"central name runs past the directory",
         [](Bytes& b, const Layout& l) { Put16(b, l.central[1] + 28, 0xffff); }},
        {"central extra runs past the directory",
         [](Bytes& b, const Layout& l) { Put16(b, l.central[1] + 30, 0x100); }},
        {"central comment runs into the next record",
         [](Bytes& b, const Layout& l) { Put16(b, l.central[0] + 32, 60); }},
        {"local header inside the directory",
         [](Bytes& b, const Layout& l) { Put32(b, l.central[1] + 42, static_cast<unsigned>(l.directory)); }},
        {"local header past the source", [](Bytes& b, const Layout& l) { Put32(b, l.central[1] + 42, 0xfffffff0); }},
        {"two records share one local header",
         [](Bytes& b, const Layout& l) { Put32(b, l.central[1] + 42, static_cast<unsigned>(l.local[0])); }},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.what);
        Layout layout;
        Bytes bytes = BuildArchive(BaseEntries(), &layout);
        ASSERT_TRUE(OpenBytes(bytes));
        c.tamper(bytes, layout);
        EXPECT_FALSE(OpenBytes(bytes));
    }
}

struct EntryCase {
    const char* what;
    const wchar_t* name;
    unsigned findResult;     // ZIP_RESULT_OK: the lookup works, extraction fails
    unsigned extractResult;  // checked only when the lookup works
    Tamper tamper;
};

TEST(ZipArchiveHostile, BrokenEntriesFailCleanly)
{
    const unsigned deflatedSize = static_cast<unsigned>(RawDeflate(kDeflatedText).size());
    const unsigned textSize = static_cast<unsigned>(kDeflatedText.size());
    const unsigned storedSize = static_cast<unsigned>(kStoredText.size());
    const EntryCase cases[] = {
        {"local signature broken", L"b.xml", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { b[l.local[1]] = 'X'; }},
        {"local method differs", L"b.xml", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { Put16(b, l.local[1] + 8, 0); }},
        {"local CRC differs", L"b.xml", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { Put32(b, l.local[1] + 14, Get32(b, l.local[1] + 14) ^ 1); }},
        {"local compressed size differs", L"b.xml", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { Put32(b, l.local[1] + 18, Get32(b, l.local[1] + 18) - 1); }},
        {"local uncompressed size differs", L"a.txt", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { Put32(b, l.local[0] + 22, 1); }},
        {"local name length differs", L"a.txt", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { Put16(b, l.local[0] + 26, 4); }},
        {"local name differs", L"a.txt", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { b[l.local[0] + 30] = 'z'; }},
        {"local extra runs into the next entry", L"a.txt", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { Put16(b, l.local[0] + 28, 0xffff); }},
        {"local extra runs into the directory", L"b.xml", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { Put16(b, l.local[1] + 28, 0x4000); }},
        {"data overlaps the next entry", L"a.txt", ZIP_RESULT_CORRUPT, 0,
         [storedSize](Bytes& b, const Layout& l) { SetSizes(b, l, 0, storedSize + 20, storedSize + 20); }},
        {"data overlaps the directory", L"b.xml", ZIP_RESULT_CORRUPT, 0,
         [deflatedSize, textSize](Bytes& b, const Layout& l) { SetSizes(b, l, 1, deflatedSize + 8, textSize); }},
        {"stored sizes disagree", L"a.txt", ZIP_RESULT_CORRUPT, 0,
         [storedSize](Bytes& b, const Layout& l) { SetSizes(b, l, 0, storedSize, storedSize - 1); }},
        {"declared size beyond any deflate ratio", L"b.xml", ZIP_RESULT_CORRUPT, 0,
         [deflatedSize](Bytes& b, const Layout& l) { SetSizes(b, l, 1, deflatedSize, 0x7fff0000); }},
        {"size beyond 2 GiB", L"a.txt", ZIP_RESULT_CORRUPT, 0,
         [](Bytes& b, const Layout& l) { SetSizes(b, l, 0, 0x80000000u, 0x80000000u); }},
        {"encrypted", L"b.xml", ZIP_RESULT_UNSUPPORTED, 0, [](Bytes& b, const Layout& l) { SetBoth16(b, l, 1, 6, 1); }},
        {"encrypted in the local header only", L"b.xml", ZIP_RESULT_UNSUPPORTED, 0,
         [](Bytes& b, const Layout& l) { Put16(b, l.local[1] + 6, 1); }},
        {"neither stored nor deflated", L"b.xml", ZIP_RESULT_UNSUPPORTED, 0,
         [](Bytes& b, const Layout& l) { SetBoth16(b, l, 1, 8, 12); }},
        {"damaged deflate data", L"b.xml", ZIP_RESULT_OK, ZIP_RESULT_INFLATE_ERROR,
         [](Bytes& b, const Layout& l) { b[l.data[1]] = 0xff; }},
        {"deflate stream cut short", L"b.xml", ZIP_RESULT_OK, ZIP_RESULT_CORRUPT,
         [deflatedSize, textSize](Bytes& b, const Layout& l) { SetSizes(b, l, 1, deflatedSize / 2, textSize); }},
        {"data longer than declared", L"b.xml", ZIP_RESULT_OK, ZIP_RESULT_CORRUPT,
         [deflatedSize, textSize](Bytes& b, const Layout& l) { SetSizes(b, l, 1, deflatedSize, textSize - 10); }},
        {"data shorter than declared", L"b.xml", ZIP_RESULT_OK, ZIP_RESULT_CORRUPT,
         [deflatedSize, textSize](Bytes& b, const Layout& l) { SetSizes(b, l, 1, deflatedSize, textSize + 10); }},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.what);
        Layout layout;
        Bytes bytes = BuildArchive(BaseEntries(), &layout);
        c.tamper(bytes, layout);
        ArchivePtr archive = OpenBytes(bytes);
        ASSERT_TRUE(archive);
        int index = -1;
        ZipEntryInfo info;
        const int expectedIndex = std::wstring(c.name) == L"a.txt" ? 0 : 1;
        EXPECT_EQ(c.findResult, archive->FindEntry(c.name, index, info));
        Bytes buffer(64 * 1024);
        if (c.findResult == ZIP_RESULT_OK) {
            EXPECT_EQ(c.extractResult, archive->ExtractToMemory(expectedIndex, buffer.data(), buffer.size()));
        } else {
            EXPECT_EQ(-1, index);
            // Extraction refuses the entry just as the lookup does.
            EXPECT_EQ(c.findResult, archive->ExtractToMemory(expectedIndex, buffer.data(), buffer.size()));
        }
    }
}

TEST(ZipArchiveHostile, DataThatDisagreesWithItsCrcFails)
{
    // The stored entry carries a 28-byte local extra field, as zip's "UT"
    // and "ux" fields together do.
    std::vector<TestEntry> entries = BaseEntries();
    entries[0].localExtra = std::string("\xfe\xca\x18\x00", 4) + std::string(24, 'e');
    const struct {
        const char* what;
        int index;
        size_t capacity;  // 0: the entry's own size, as the skin loaders ask
        Tamper tamper;
    } cases[] = {
        // The headers still agree, but the data now starts inside the extra field.
        {"local extra length cut to 0", 0, 0, [](Bytes& b, const Layout& l) { Put16(b, l.local[0] + 28, 0); }},
        {"local extra length cut by 1", 0, 0, [](Bytes& b, const Layout& l) { Put16(b, l.local[0] + 28, 27); }},
        {"stored byte changed", 0, 0, [](Bytes& b, const Layout& l) { b[l.data[0] + 3] ^= 0x20; }},
        {"stored byte changed, roomy buffer", 0, 4096, [](Bytes& b, const Layout& l) { b[l.data[0]] ^= 0x01; }},
        {"CRC of both headers changed", 1, 0,
         [](Bytes& b, const Layout& l) {
             Put32(b, l.local[1] + 14, Get32(b, l.local[1] + 14) ^ 0x80);
             Put32(b, l.central[1] + 16, Get32(b, l.central[1] + 16) ^ 0x80);
         }},
        {"CRC of both headers changed, roomy buffer", 1, 64 * 1024,
         [](Bytes& b, const Layout& l) {
             Put32(b, l.local[1] + 14, 0);
             Put32(b, l.central[1] + 16, 0);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Layout layout;
        Bytes bytes = BuildArchive(entries, &layout);
        c.tamper(bytes, layout);
        ArchivePtr archive = OpenBytes(bytes);
        ASSERT_TRUE(archive);
        int index = -1;
        ZipEntryInfo info;
        ASSERT_EQ(ZIP_RESULT_OK, archive->FindEntry(c.index == 0 ? L"a.txt" : L"b.xml", index, info));
        const size_t capacity = c.capacity != 0 ? c.capacity : static_cast<size_t>(info.uncompressedSize);
        Bytes buffer(capacity);
        EXPECT_EQ(ZIP_RESULT_CRC_MISMATCH, archive->ExtractToMemory(index, buffer.data(), buffer.size()));
    }

    // Untouched, both entries read back; a buffer too small to hold the
    // whole entry cannot be checked and reports more data as before.
    const Bytes bytes = BuildArchive(entries);
    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    unsigned result = 0;
    EXPECT_EQ(kStoredText, AsText(Extract(*archive, 0, kStoredText.size(), result)));
    EXPECT_EQ(ZIP_RESULT_MORE, result);
    EXPECT_EQ(kDeflatedText, AsText(Extract(*archive, 1, kDeflatedText.size(), result)));
    EXPECT_EQ(ZIP_RESULT_MORE, result);
    EXPECT_EQ(kDeflatedText.substr(0, 100), AsText(Extract(*archive, 1, 100, result)));
    EXPECT_EQ(ZIP_RESULT_MORE, result);
}

TEST(ZipArchiveHostile, DescriptorFlagAllowsZeroLocalSizes)
{
    Layout layout;
    Bytes bytes = BuildArchive(BaseEntries(), &layout);
    // As a streaming writer leaves them: flag bit 3, zero CRC and sizes.
    Put16(bytes, layout.local[1] + 6, 0x0008);
    Put32(bytes, layout.local[1] + 14, 0);
    Put32(bytes, layout.local[1] + 18, 0);
    Put32(bytes, layout.local[1] + 22, 0);
    ArchivePtr archive = OpenBytes(bytes);
    ASSERT_TRUE(archive);
    unsigned result = 0;
    EXPECT_EQ(kDeflatedText, AsText(Extract(*archive, 1, kDeflatedText.size(), result)));
    EXPECT_EQ(ZIP_RESULT_MORE, result);
}

}  // namespace
