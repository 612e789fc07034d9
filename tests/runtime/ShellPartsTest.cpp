// The engine-free parts behind the context menu and downloads: the menu
// model's editing rules, reading a hit test the page may have tampered with,
// and placing a finished file.
#include <gtest/gtest.h>

#include "runtime/engine/DefaultContextMenu.h"
#include "runtime/engine/DownloadController.h"
#include "runtime/engine/MenuModel.h"

using namespace vxrt;

namespace {

std::vector<int> Ids(MenuModel& m)
{
    std::vector<int> ids;
    for (int i = 0; i < m.GetCount(); ++i)
        ids.push_back(m.GetTypeAt(i) == MENUITEMTYPE_SEPARATOR ? -1 : m.GetCommandIdAt(i));
    return ids;
}

TEST(MenuModelTest, EditsByIndexAndByIdAndRefusesOutOfRange)
{
    CefRefPtr<MenuModel> m = new MenuModel;
    m->AddSeparator();
    m->AddItem(102, L"Reload");
    m->AddItem(26501, L"Mine");
    EXPECT_TRUE(m->InsertItemAt(3, 100, L"Back"));  // at the end
    EXPECT_FALSE(m->InsertItemAt(5, 101, L"x"));
    EXPECT_FALSE(m->InsertItemAt(-1, 101, L"x"));
    EXPECT_EQ(Ids(*m), (std::vector<int>{-1, 102, 26501, 100}));
    // A separator is no command: its id never matches.
    EXPECT_EQ(m->GetIndexOf(-1), -1);
    EXPECT_FALSE(m->SetLabelAt(0, L"x"));
    EXPECT_TRUE(m->SetLabel(26501, L"\u590d\u5236"));
    EXPECT_EQ(m->GetLabel(26501).ToWString(), L"\u590d\u5236");
    EXPECT_FALSE(m->SetLabel(999, L"x"));
    EXPECT_EQ(m->GetTypeAt(0), MENUITEMTYPE_SEPARATOR);
    EXPECT_EQ(m->GetTypeAt(9), MENUITEMTYPE_NONE);
    EXPECT_EQ(m->GetCommandIdAt(9), -1);
    EXPECT_TRUE(m->GetLabelAt(-3).empty());
    EXPECT_FALSE(m->RemoveAt(4));
    EXPECT_TRUE(m->RemoveAt(0));
    EXPECT_TRUE(m->Remove(102));
    EXPECT_FALSE(m->Remove(102));
    EXPECT_EQ(Ids(*m), (std::vector<int>{26501, 100}));
    EXPECT_TRUE(m->Clear());
    EXPECT_EQ(m->GetCount(), 0);
}

TEST(MenuModelTest, EnablingAppliesToEveryItemWithTheId)
{
    // A client may append an id the runtime already offers (reload twice).
    CefRefPtr<MenuModel> m = new MenuModel;
    m->AddCommand(102, L"Reload", false);
    m->AddItem(102, L"\u5237\u65b0");
    EXPECT_FALSE(m->IsEnabled(102));
    EXPECT_TRUE(m->SetEnabled(102, true));
    EXPECT_TRUE(m->Items()[0].enabled && m->Items()[1].enabled);
    EXPECT_FALSE(m->SetEnabled(7, true));
}

TEST(DefaultContextMenuTest, HitTestValuesGiveFlagsAndModel)
{
    using Json = nlohmann::json;
    const std::vector<int> page = {100, 101, 102, 103, 104, -1, 131, 132};
    const std::vector<int> edit = {110, 111, -1, 112, 113, 114, 115, -1, 116};
    struct Case {
        const char* what;
        Json value;
        bool parsed;
        int flags;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {"plain", Json::object(), true, 1, page},
        {"link and image", {{"link", "http://a/"}, {"src", "http://a/i.png"}, {"media", 1}}, true, 1 | 4 | 8, page},
        {"selection", {{"sel", "words"}}, true, 1 | 16, {113}},
        {"editable with selection", {{"sel", "w"}, {"editable", true}}, true, 1 | 16 | 32, edit},
        // A page that redefined what the script relies on sends odd values.
        {"mistyped fields", {{"link", 5}, {"media", "image"}, {"editable", "yes"}, {"sel", {1}}}, true, 1, page},
        {"media out of range", {{"src", "x"}, {"media", 77}}, true, 1, page},
        {"not an object", Json::array({1, 2}), false, 1, page},
        {"nothing", Json(), false, 1, page},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CefRefPtr<ContextMenuParams> p = new ContextMenuParams;
        EXPECT_EQ(ParseHitTest(c.value, *p), c.parsed);
        EXPECT_EQ(p->GetTypeFlags(), c.flags);
        CefRefPtr<MenuModel> m = new MenuModel;
        BuildDefaultContextMenu(*m, *p, ContextMenuAbilities());
        EXPECT_EQ(Ids(*m), c.ids);
    }
}

std::wstring TempFolder()
{
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    wchar_t name[64];
    wsprintfW(name, L"vxrt-place-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    std::wstring dir = std::wstring(tmp) + name;
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void Write(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
}

std::string Read(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<none>";
    char buf[256];
    DWORD n = 0;
    ReadFile(h, buf, sizeof buf, &n, nullptr);
    CloseHandle(h);
    return std::string(buf, n);
}

TEST(PlaceFileTest, ReplacesTheTargetOrLeavesEverythingAsItWas)
{
    std::wstring dir = TempFolder();
    Write(dir + L"\\staged", "new bytes");
    Write(dir + L"\\target", "old");
    ASSERT_TRUE(PlaceFile(dir + L"\\staged", dir + L"\\target"));
    EXPECT_EQ(Read(dir + L"\\target"), "new bytes");
    EXPECT_EQ(Read(dir + L"\\staged"), "<none>");

    Write(dir + L"\\staged", "more");
    EXPECT_FALSE(PlaceFile(dir + L"\\staged", dir + L"\\missing folder\\target"));
    EXPECT_EQ(Read(dir + L"\\missing folder\\target.vxpart"), "<none>");
    // A folder in the way is not overwritten either.
    CreateDirectoryW((dir + L"\\taken").c_str(), nullptr);
    EXPECT_FALSE(PlaceFile(dir + L"\\staged", dir + L"\\taken"));
    EXPECT_EQ(Read(dir + L"\\taken.vxpart"), "<none>");
    EXPECT_EQ(Read(dir + L"\\staged"), "more");
}

TEST(SafeDownloadNameTest, NamesOnlyAFileInTheChosenFolder)
{
    const std::wstring longStem(300, L'a');
    struct Case {
        const wchar_t* what;
        std::wstring suggested, expected;
    };
    const Case cases[] = {
        {L"plain", L"report.pdf", L"report.pdf"},
        {L"Chinese", L"\u62a5\u544a.txt", L"\u62a5\u544a.txt"},
        {L"climbing out", L"..\\..\\x.exe", L".._.._x.exe"},
        {L"absolute", L"C:\\Windows\\x.dll", L"C__Windows_x.dll"},
        {L"slashes", L"../../x.exe", L".._.._x.exe"},
        {L"only dots", L"..", L"download"},
        {L"empty", L"", L"download"},
        {L"trailing dot and blank", L"a.exe. ", L"a.exe"},
        {L"control characters", L"a\tb\nc", L"a_b_c"},
        {L"device", L"CON", L"_CON"},
        {L"device, any case, with extension", L"nul.txt", L"_nul.txt"},
        {L"device with blank before the extension", L"com1 .log", L"_com1 .log"},
        {L"device-like but longer", L"CONSOLE.txt", L"CONSOLE.txt"},
        {L"too long, extension kept", longStem + L".exe", std::wstring(kMaxDownloadName - 4, L'a') + L".exe"},
        {L"too long, no extension", longStem, std::wstring(kMaxDownloadName, L'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SafeDownloadName(c.suggested), c.expected);
    }
    // A pair of surrogates is never cut in half at the limit.
    std::wstring pairs = L"a";  // puts the limit inside a pair
    for (int i = 0; i < 200; ++i) pairs += L"\U0001F600";
    std::wstring cut = SafeDownloadName(pairs);
    EXPECT_LE(cut.size(), kMaxDownloadName);
    EXPECT_TRUE(cut.back() >= 0xDC00 && cut.back() <= 0xDFFF);
}

}  // namespace
