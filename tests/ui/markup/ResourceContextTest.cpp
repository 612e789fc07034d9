#include "ui/markup/Markup.h"
#include "ui/markup/ResourceContextUI.h"
#include "ui/markup/SkinResourceReader.h"
#include "ui/markup/ZipArchive.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace SkinUI {
// Puts the process-wide context back to its start state around each test.
struct ResourceContextTestAccess {
    static void Reset() { CResourceContextUI::ResetResourceContext(); }
};
}  // namespace SkinUI

using namespace SkinUI;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A minimal ZIP writer for fixtures: every entry carries its stored or
// already compressed bytes; the method and uncompressed size are declared.
struct ZipFixtureEntry {
    std::string name;
    Bytes data;           // bytes as they appear in the archive
    uint16_t method = 0;  // 0 stored, 8 deflated
    uint32_t size = 0;    // uncompressed size (defaults to data size for stored)
    uint32_t crc = 0;
};

ZipFixtureEntry Stored(const std::string& name, const Bytes& data)
{
    ZipFixtureEntry e;
    e.name = name;
    e.data = data;
    e.size = static_cast<uint32_t>(data.size());
    e.crc = static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
    return e;
}

void Put16(Bytes& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void Put32(Bytes& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

Bytes BuildZip(const std::vector<ZipFixtureEntry>& entries)
{
    Bytes out, directory;
    for (const ZipFixtureEntry& e : entries) {
        const uint32_t offset = static_cast<uint32_t>(out.size());
        Put32(out, 0x04034b50);
        Put16(out, 20);
        Put16(out, 0);
        Put16(out, e.method);
        Put16(out, 0);
        Put16(out, 0x21);
        Put32(out, e.crc);
        Put32(out, static_cast<uint32_t>(e.data.size()));
        Put32(out, e.size);
        Put16(out, static_cast<uint32_t>(e.name.size()));
        Put16(out, 0);
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.insert(out.end(), e.data.begin(), e.data.end());

        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, 0);
        Put16(directory, e.method);
        Put16(directory, 0);
        Put16(directory, 0x21);
        Put32(directory, e.crc);
        Put32(directory, static_cast<uint32_t>(e.data.size()));
        Put32(directory, e.size);
        Put16(directory, static_cast<uint32_t>(e.name.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, offset);
        directory.insert(directory.end(), e.name.begin(), e.name.end());
    }
    const uint32_t directoryOffset = static_cast<uint32_t>(out.size());
    out.insert(out.end(), directory.begin(), directory.end());
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put32(out, static_cast<uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, 0);
    return out;
}

const char kSkinMarkup[] = "<Window size=\"320,180\"><Label text=\"ok\"/></Window>";

Bytes SkinArchive()
{
    ZipFixtureEntry broken;  // declared deflated, but its stream uses a reserved block type
    broken.name = "broken.xml";
    broken.data = {0xFF, 0xFF, 0xFF, 0xFF};
    broken.method = 8;
    broken.size = 64;
    return BuildZip({Stored("MainWnd.xml", ToBytes(kSkinMarkup)), Stored("sub/Nested.xml", ToBytes("<Nested/>")),
                     Stored("Empty.xml", Bytes()), Stored("logo.png", ToBytes("png bytes")), broken});
}

std::wstring LastError(const CMarkup& doc)
{
    wchar_t text[128] = {0};
    doc.GetLastErrorMessage(text, 127);
    return text;
}

std::wstring LastLocation(const CMarkup& doc)
{
    wchar_t text[128] = {0};
    doc.GetLastErrorLocation(text, 127);
    return text;
}

class ResourceContext : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResourceContextTestAccess::Reset();
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_dir = fs::temp_directory_path() / ("vornex-skin-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        fs::create_directories(m_dir);
    }

    void TearDown() override
    {
        ResourceContextTestAccess::Reset();
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    void WriteFile(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream out(m_dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // The skin folder as the program passes it: no trailing separator.
    std::wstring Folder() const { return m_dir.wstring(); }

    fs::path m_dir;
};

}  // namespace

// ---- Skin folder ---------------------------------------------------------------

TEST_F(ResourceContext, SkinFolderEndsWithExactlyOneBackslashAndEmptyKeepsIt)
{
    CResourceContextUI::SetResourcePath(L"C:\\skins\\main");
    EXPECT_STREQ(L"C:\\skins\\main\\", CResourceContextUI::GetResourcePath());
    CResourceContextUI::SetResourcePath(L"C:\\skins\\exit\\");
    EXPECT_STREQ(L"C:\\skins\\exit\\", CResourceContextUI::GetResourcePath());
    CResourceContextUI::SetResourcePath(L"");
    EXPECT_STREQ(L"C:\\skins\\exit\\", CResourceContextUI::GetResourcePath());
    CResourceContextUI::SetResourcePath(nullptr);
    EXPECT_STREQ(L"C:\\skins\\exit\\", CResourceContextUI::GetResourcePath());
    // A folder that does not fit is refused rather than cut into another one.
    CResourceContextUI::SetResourcePath(std::wstring(300, L'x').c_str());
    EXPECT_STREQ(L"C:\\skins\\exit\\", CResourceContextUI::GetResourcePath());
}

// ---- Markup files from the skin folder ------------------------------------------

TEST_F(ResourceContext, FolderFileLoadsAndErrorsCarryAnEmptyLocation)
{
    WriteFile("MainWnd.xml", ToBytes(kSkinMarkup));
    WriteFile("Empty.xml", Bytes());
    CResourceContextUI::SetResourcePath(Folder().c_str());

    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromFile(L"MainWnd.xml")) << LastError(doc);
    EXPECT_STREQ(L"ok", doc.GetRoot().GetChild().GetAttributeValue(L"text"));

    struct Case {
        const wchar_t* name;
        const wchar_t* message;
    } cases[] = {{L"Missing.xml", L"Error opening file"}, {L"Empty.xml", L"File is empty"}};
    for (const Case& c : cases) {
        ASSERT_FALSE(doc.Load(L"<a b-c/>"));  // leaves a location behind
        EXPECT_FALSE(doc.LoadFromFile(c.name)) << c.name;
        EXPECT_EQ(std::wstring(c.message), LastError(doc)) << c.name;
        EXPECT_EQ(L"", LastLocation(doc)) << c.name;
        EXPECT_FALSE(doc.IsValid());
    }
}

TEST_F(ResourceContext, FolderFileSizeLimitIs4MiB)
{
    const std::string head = "<Window>";
    const std::string tail = "</Window>";
    const size_t limit = 4194304;
    WriteFile("AtLimit.xml", ToBytes(head + std::string(limit - head.size() - tail.size(), ' ') + tail));
    WriteFile("OverLimit.xml", ToBytes(head + std::string(limit + 1 - head.size() - tail.size(), ' ') + tail));
    CResourceContextUI::SetResourcePath(Folder().c_str());

    CMarkup doc;
    EXPECT_TRUE(doc.LoadFromFile(L"AtLimit.xml")) << LastError(doc);
    EXPECT_FALSE(doc.LoadFromFile(L"OverLimit.xml"));
    EXPECT_EQ(L"File too large", LastError(doc));
}

#ifndef _WIN32
// A directory opens as a file here but cannot be read: the short read.
TEST_F(ResourceContext, UnreadableFolderFileReportsReadFailure)
{
    fs::create_directories(m_dir / "Folder.xml");
    CResourceContextUI::SetResourcePath(Folder().c_str());
    CMarkup doc;
    EXPECT_FALSE(doc.LoadFromFile(L"Folder.xml"));
    EXPECT_EQ(L"Could not read file", LastError(doc));
}
#endif

// ---- Markup files from the skin archive ------------------------------------------

TEST_F(ResourceContext, InMemoryArchiveServesEntriesWhateverTheCaseOrSlash)
{
    const Bytes archive = SkinArchive();
    CResourceContextUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()));

    CMarkup doc;
    for (const wchar_t* name : {L"MainWnd.xml", L"MAINWND.XML", L"mainwnd.xml"}) {
        EXPECT_TRUE(doc.LoadFromFile(name)) << name << L": " << LastError(doc);
    }
    EXPECT_TRUE(doc.LoadFromFile(L"sub\\Nested.xml")) << LastError(doc);
    EXPECT_STREQ(L"Nested", doc.GetRoot().GetName());

    struct Case {
        const wchar_t* name;
        const wchar_t* message;
    } cases[] = {{L"Missing.xml", L"Could not find ziped file"},
                 {L"Empty.xml", L"File is empty"},
                 {L"broken.xml", L"Could not unzip file"}};
    for (const Case& c : cases) {
        EXPECT_FALSE(doc.LoadFromFile(c.name)) << c.name;
        EXPECT_EQ(std::wstring(c.message), LastError(doc)) << c.name;
        EXPECT_EQ(L"", LastLocation(doc)) << c.name;
    }
}

TEST_F(ResourceContext, ArchiveSkipsTheSkinFolderAndLimitsEntrySize)
{
    // The folder has a file the archive lacks: with an archive set it is not used.
    WriteFile("Only.xml", ToBytes("<Only/>"));
    const size_t limit = 4194304;
    const Bytes archive = BuildZip({Stored("AtLimit.xml", ToBytes("<W>" + std::string(limit - 7, ' ') + "</W>")),
                                    Stored("OverLimit.xml", Bytes(limit + 1, ' '))});
    WriteFile("skin.zip", archive);
    CResourceContextUI::SetResourcePath(Folder().c_str());
    CResourceContextUI::SetResourceZip(L"skin.zip", false);

    CMarkup doc;
    EXPECT_TRUE(doc.LoadFromFile(L"AtLimit.xml")) << LastError(doc);
    EXPECT_FALSE(doc.LoadFromFile(L"OverLimit.xml"));
    EXPECT_EQ(L"File too large", LastError(doc));
    EXPECT_FALSE(doc.LoadFromFile(L"Only.xml"));
    EXPECT_EQ(L"Could not find ziped file", LastError(doc));
}

TEST_F(ResourceContext, MissingArchiveFailsEveryMarkupLoad)
{
    CResourceContextUI::SetResourcePath(Folder().c_str());
    for (bool cached : {false, true}) {
        CResourceContextUI::SetResourceZip(L"absent.zip", cached);
        EXPECT_EQ(nullptr, CResourceContextUI::GetResourceZipHandle());
        CMarkup doc;
        EXPECT_FALSE(doc.LoadFromFile(L"MainWnd.xml"));
        EXPECT_EQ(L"Error opening zip file", LastError(doc)) << cached;
    }
}

// ---- Archive selection rules -------------------------------------------------------

TEST_F(ResourceContext, CachedArchiveFileIsOpenedOnceAndClosedByTerm)
{
    WriteFile("skin.zip", SkinArchive());
    CResourceContextUI::SetResourcePath(Folder().c_str());
    CResourceContextUI::SetResourceZip(L"skin.zip", true);
    EXPECT_STREQ(L"skin.zip", CResourceContextUI::GetResourceZip());
    EXPECT_TRUE(CResourceContextUI::IsCachedResourceZip());
    ASSERT_NE(nullptr, CResourceContextUI::GetResourceZipHandle());

    CMarkup doc;
    EXPECT_TRUE(doc.LoadFromFile(L"MainWnd.xml")) << LastError(doc);
    CResourceContextUI::Term();
    EXPECT_EQ(nullptr, CResourceContextUI::GetResourceZipHandle());
    EXPECT_FALSE(doc.LoadFromFile(L"MainWnd.xml"));
    EXPECT_EQ(L"Error opening zip file", LastError(doc));
}

TEST_F(ResourceContext, FirstInMemoryArchiveStaysUntilAnUncachedFileReplacesIt)
{
    const Bytes first = SkinArchive();
    const Bytes second = BuildZip({Stored("Other.xml", ToBytes("<Other/>"))});
    WriteFile("skin.zip", second);
    CResourceContextUI::SetResourcePath(Folder().c_str());

    CResourceContextUI::SetResourceZip(first.data(), static_cast<unsigned>(first.size()));
    EXPECT_STREQ(L"membuffer", CResourceContextUI::GetResourceZip());
    EXPECT_TRUE(CResourceContextUI::IsCachedResourceZip());
    ZipArchive* const installed = CResourceContextUI::GetResourceZipHandle();
    ASSERT_NE(nullptr, installed);

    // A second memory block and a cached file name change nothing.
    CResourceContextUI::SetResourceZip(second.data(), static_cast<unsigned>(second.size()));
    CResourceContextUI::SetResourceZip(L"skin.zip", true);
    EXPECT_STREQ(L"membuffer", CResourceContextUI::GetResourceZip());
    EXPECT_EQ(installed, CResourceContextUI::GetResourceZipHandle());
    CMarkup doc;
    EXPECT_TRUE(doc.LoadFromFile(L"MainWnd.xml")) << LastError(doc);

    // An uncached file name replaces it.
    CResourceContextUI::SetResourceZip(L"skin.zip", false);
    EXPECT_STREQ(L"skin.zip", CResourceContextUI::GetResourceZip());
    EXPECT_FALSE(CResourceContextUI::IsCachedResourceZip());
    EXPECT_EQ(nullptr, CResourceContextUI::GetResourceZipHandle());
    EXPECT_TRUE(doc.LoadFromFile(L"Other.xml")) << LastError(doc);
    EXPECT_FALSE(doc.LoadFromFile(L"MainWnd.xml"));
}

// ---- Image bytes --------------------------------------------------------------------

TEST_F(ResourceContext, ImageBytesComeFromTheArchiveThenFromThePathItself)
{
    const Bytes archive = SkinArchive();
    CResourceContextUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()));
    Bytes bytes;
    EXPECT_TRUE(LoadSkinImageBytes(L"LOGO.png", nullptr, bytes));
    EXPECT_EQ(ToBytes("png bytes"), bytes);

    // Not in the archive: the name is opened as a path of its own.
    WriteFile("rocket.png", ToBytes("rocket"));
    const std::wstring absolute = (m_dir / "rocket.png").wstring();
    EXPECT_TRUE(LoadSkinImageBytes(absolute.c_str(), nullptr, bytes));
    EXPECT_EQ(ToBytes("rocket"), bytes);

    EXPECT_FALSE(LoadSkinImageBytes(L"scroll.png", nullptr, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(LoadSkinImageBytes(L"Empty.xml", nullptr, bytes));
}

TEST_F(ResourceContext, ImageBytesWithAResourceTypeFallBackToThePathOnly)
{
    // With a type the bytes come from the module's resources; when there is
    // no such resource, the name is still opened as a path of its own, but
    // the archive and the skin folder are not consulted.
    const Bytes archive = SkinArchive();
    CResourceContextUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()));
    WriteFile("rocket.png", ToBytes("rocket"));
    WriteFile("logo.png", ToBytes("folder logo"));
    CResourceContextUI::SetResourcePath(Folder().c_str());
    const std::wstring absolute = (m_dir / "rocket.png").wstring();

    Bytes bytes;
    EXPECT_TRUE(LoadSkinImageBytes(absolute.c_str(), L"PNG", bytes));
    EXPECT_EQ(ToBytes("rocket"), bytes);
    EXPECT_FALSE(LoadSkinImageBytes(L"logo.png", L"PNG", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(LoadSkinImageBytes(reinterpret_cast<LPCTSTR>(static_cast<uintptr_t>(131)), L"PNG", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(ResourceContext, ImageBytesFromTheSkinFolder)
{
    WriteFile("home.png", ToBytes("home"));
    CResourceContextUI::SetResourcePath(Folder().c_str());
    Bytes bytes;
    EXPECT_TRUE(LoadSkinImageBytes(L"home.png", nullptr, bytes));
    EXPECT_EQ(ToBytes("home"), bytes);
}

#ifdef _WIN32
// ---- The program's own module and its skin resource ---------------------------------

TEST_F(ResourceContext, InstancePathAndResourceModule)
{
    EXPECT_EQ(L"", std::wstring(CResourceContextUI::GetInstancePath()));
    HINSTANCE self = ::GetModuleHandleW(nullptr);
    CResourceContextUI::SetInstance(self);
    EXPECT_EQ(self, CResourceContextUI::GetResourceDll());
    wchar_t module[MAX_PATH] = {0};
    ::GetModuleFileNameW(self, module, MAX_PATH);
    const std::wstring folder = CResourceContextUI::GetInstancePath().GetData();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(L'\\', folder.back());
    EXPECT_EQ(0u, std::wstring(module).find(folder));
    EXPECT_EQ(std::wstring::npos, std::wstring(module).find(L'\\', folder.size()));

    HINSTANCE other = reinterpret_cast<HINSTANCE>(0x10000000);
    CResourceContextUI::SetResourceDll(other);
    EXPECT_EQ(other, CResourceContextUI::GetResourceDll());
    EXPECT_EQ(self, CResourceContextUI::GetInstance());
}

TEST_F(ResourceContext, LinkedSkinArchiveServesTheShippedMarkupAndImages)
{
    CResourceContextUI::SetInstance(::GetModuleHandleW(nullptr));
    Bytes archive;
    ASSERT_TRUE(LoadSkinImageBytes(MAKEINTRESOURCEW(130), L"DAT", archive));
    EXPECT_FALSE(LoadSkinImageBytes(MAKEINTRESOURCEW(131), L"DAT", archive));
    ASSERT_TRUE(LoadSkinImageBytes(MAKEINTRESOURCEW(130), L"DAT", archive));
    CResourceContextUI::SetResourceZip(archive.data(), static_cast<unsigned>(archive.size()));

    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromFile(L"mainwnd.XML")) << LastError(doc);
    EXPECT_STREQ(L"Window", doc.GetRoot().GetName());
    ASSERT_TRUE(doc.LoadFromFile(L"ExitWnd.xml")) << LastError(doc);
    EXPECT_FALSE(doc.LoadFromFile(L"Nothing.xml"));
    EXPECT_EQ(L"Could not find ziped file", LastError(doc));

    Bytes logo;
    ASSERT_TRUE(LoadSkinImageBytes(L"logo.png", nullptr, logo));
    ASSERT_GT(logo.size(), 8u);
    EXPECT_EQ(0x89, logo[0]);
    EXPECT_EQ('P', logo[1]);
}
#endif
