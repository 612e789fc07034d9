// The embedding interface without an engine: reference counting, strings,
// the start-up contract and the sub-process roles.
#include <gtest/gtest.h>

#include "RuntimeTestSupport.h"
#include "runtime/engine/FrameImage.h"
#include "runtime/engine/FrameImpl.h"
#include "runtime/engine/NetError.h"

namespace {

class Counted : public CefClient {
public:
    explicit Counted(int* deleted) : m_deleted(deleted) {}
    ~Counted() override { ++*m_deleted; }
    IMPLEMENT_REFCOUNTING(Counted);

private:
    int* m_deleted;
};

TEST(RefCounting, PointerHoldsAndReleasesExactlyOnce)
{
    int deleted = 0;
    {
        CefRefPtr<Counted> a = new Counted(&deleted);
        EXPECT_EQ(a->GetRefCt(), 1);
        {
            CefRefPtr<CefClient> b = a;
            EXPECT_EQ(a->GetRefCt(), 2);
            b = b.get();  // self-assignment keeps the object
            EXPECT_EQ(a->GetRefCt(), 2);
        }
        CefRefPtr<Counted> moved = std::move(a);
        EXPECT_EQ(moved->GetRefCt(), 1);
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 1);
}

TEST(CefStringTest, Utf8RoundTripsAndRepairsBadInput)
{
    const struct {
        std::string utf8;
        std::wstring utf16;
    } cases[] = {
        {"plain", L"plain"},
        {"\xe7\x9f\xad\xe7\xbd\x91\xe5\x9d\x80", L"\x77ed\x7f51\x5740"},
        {"\xf0\x9f\x98\x80", L"\xd83d\xde00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CefString(c.utf8).ToWString(), c.utf16);
        EXPECT_EQ(CefString(c.utf16).ToString(), c.utf8);
    }
    EXPECT_EQ(CefString(std::string("a\xff"
                                    "b\xe4"))
                  .ToWString(),
              L"a\xfffd"
              L"b\xfffd");
    cef_string_t s = {};
    ASSERT_TRUE(cef_string_set(L"xyz", 3, &s, 1));
    EXPECT_EQ(CefString(&s).ToWString(), L"xyz");
    cef_string_clear(&s);
    EXPECT_EQ(s.str, nullptr);
}

TEST(StartupContract, RefusesAMismatchedHashOrSettingsWithoutStartingAnything)
{
    std::wstring profile = vxtest::UniqueTempDir(L"vxrt-refused");
    std::wstring cache = profile + L"\\Cache";
    CefMainArgs args(GetModuleHandleW(nullptr));
    CefSettings settings;
    settings.log_severity = LOGSEVERITY_DISABLE;
    cef_string_set(cache.c_str(), cache.size(), &settings.cache_path, 1);

    EXPECT_EQ(cef_execute_process(&args, nullptr), -1);  // the browser process
    EXPECT_EQ(cef_execute_process_checked(&args, nullptr, "other-hash"), 0);
    EXPECT_EQ(cef_initialize_checked(&args, &settings, nullptr, "other-hash"), 0);
    settings.size = 152;
    EXPECT_EQ(cef_initialize(&args, &settings, nullptr), 0);
    settings.size = sizeof(cef_settings_t);
    settings.multi_threaded_message_loop = 1;
    EXPECT_EQ(cef_initialize(&args, &settings, nullptr), 0);
    EXPECT_EQ(GetFileAttributesW(cache.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(vxtest::EngineProcessCount(cache), 0);
    EXPECT_EQ(
        CefBrowserHost::CreateBrowserSync(CefWindowInfo(), nullptr, "about:blank", CefBrowserSettings(), nullptr).get(),
        nullptr);
}

DWORD RunSelf(const std::wstring& switches, std::wstring cwd)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = std::wstring(L"\"") + exe + L"\" " + switches;
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi)) return 999;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 999;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

TEST(SubProcess, RolesReturnTheirCodeAtOnceAndWriteNothing)
{
    std::wstring dir = vxtest::UniqueTempDir(L"vxrt-sub");
    EXPECT_EQ(RunSelf(L"--type=no-such-role", dir), 1u);
    // A watchdog with nothing to watch refuses to start.
    EXPECT_EQ(RunSelf(L"--type=watchdog", dir), 2u);
    // A watchdog whose browser process has already gone ends at once.
    EXPECT_EQ(
        RunSelf(L"--type=watchdog --parent-pid=4000000 --devtools-port=9 --devtools-path=/devtools/browser/x", dir),
        0u);
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    int entries = 0;
    if (f != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) ++entries;
        } while (FindNextFileW(f, &fd));
        FindClose(f);
    }
    EXPECT_EQ(entries, 0);
}

TEST(ScriptContext, EnterAndExitBalance)
{
    CefRefPtr<vxrt::V8ContextImpl> ctx = new vxrt::V8ContextImpl(nullptr, nullptr, 1);
    EXPECT_FALSE(ctx->Exit());
    EXPECT_TRUE(ctx->Enter());
    EXPECT_TRUE(CefV8Context::InContext());
    EXPECT_TRUE(ctx->Exit());
    EXPECT_FALSE(CefV8Context::InContext());
}

TEST(FrameImageTest, DecodesPngAndRejectsGarbage)
{
    // 2x1 PNG: red, blue.
    const char* png =
        "iVBORw0KGgoAAAANSUhEUgAAAAIAAAABCAIAAAB7QOjdAAAADUlEQVR4nGP4zwAE/wEHAAH/4iOeWQAAAABJRU5ErkJggg==";
    vxrt::FrameImage img;
    ASSERT_TRUE(vxrt::DecodeFrameImage(png, img));
    ASSERT_EQ(img.width, 2);
    ASSERT_EQ(img.height, 1);
    EXPECT_EQ(img.pixels[0], 0xFF0000u);
    EXPECT_EQ(img.pixels[1], 0x0000FFu);
    for (const char* bad : {"", "!!!!", "iVBORw0KGgo=", "/9j/4AAQSkZJRg=="})
        EXPECT_FALSE(vxrt::DecodeFrameImage(bad, img)) << bad;
}

vxrt::FrameImage Filled(int w, int h, uint32_t colour)
{
    vxrt::FrameImage img;
    img.width = w;
    img.height = h;
    img.pixels.assign(static_cast<size_t>(w) * h, colour);
    return img;
}

TEST(FrameImageTest, ChangedBoxHoldsExactlyThePixelsThatDiffer)
{
    const vxrt::FrameImage base = Filled(8, 6, 0xFFFFFF);
    const struct {
        std::vector<std::pair<int, int>> changed;  // (x, y) painted black
        vxrt::PixelBox box;
    } cases[] = {
        {{}, {}},
        {{{0, 0}}, {0, 0, 1, 1}},
        {{{7, 5}}, {7, 5, 8, 6}},
        {{{2, 1}, {5, 4}}, {2, 1, 6, 5}},
        {{{6, 0}, {1, 5}}, {1, 0, 7, 6}},
    };
    for (const auto& c : cases) {
        vxrt::FrameImage after = base;
        for (const auto& xy : c.changed) after.pixels[static_cast<size_t>(xy.second) * 8 + xy.first] = 0;
        const vxrt::PixelBox box = vxrt::ChangedBox(base, after);
        EXPECT_EQ(box.left, c.box.left);
        EXPECT_EQ(box.top, c.box.top);
        EXPECT_EQ(box.right, c.box.right);
        EXPECT_EQ(box.bottom, c.box.bottom);
    }
    // Pictures of another size, or without their pixels, compare as nothing.
    EXPECT_TRUE(vxrt::ChangedBox(base, Filled(8, 5, 0)).Empty());
    vxrt::FrameImage hollow = base;
    hollow.pixels.clear();
    EXPECT_TRUE(vxrt::ChangedBox(hollow, base).Empty());
}

TEST(FrameImageTest, PastePartCopiesOnlyWhatFitsWhole)
{
    vxrt::FrameImage picture = Filled(6, 4, 0xFFFFFF);
    const vxrt::FrameImage part = Filled(2, 2, 0x123456);
    ASSERT_TRUE(vxrt::PastePart(picture, 4, 2, part));
    EXPECT_EQ(picture.pixels[2 * 6 + 4], 0x123456u);
    EXPECT_EQ(picture.pixels[3 * 6 + 5], 0x123456u);
    EXPECT_EQ(picture.pixels[2 * 6 + 3], 0xFFFFFFu);
    const vxrt::FrameImage before = picture;
    for (auto xy : {std::make_pair(5, 0), std::make_pair(0, 3), std::make_pair(-1, 0), std::make_pair(0, -1)}) {
        EXPECT_FALSE(vxrt::PastePart(picture, xy.first, xy.second, part)) << xy.first << "," << xy.second;
        EXPECT_EQ(picture.pixels, before.pixels);
    }
}

TEST(NetErrorTest, NamesMapToCodes)
{
    EXPECT_EQ(vxrt::NetErrorCode("net::ERR_ABORTED"), ERR_ABORTED);
    EXPECT_EQ(vxrt::NetErrorCode("net::ERR_CONNECTION_REFUSED"), ERR_CONNECTION_REFUSED);
    EXPECT_EQ(vxrt::NetErrorCode("net::ERR_NAME_NOT_RESOLVED"), ERR_NAME_NOT_RESOLVED);
    EXPECT_EQ(vxrt::NetErrorCode("something else"), ERR_FAILED);
}

}  // namespace
