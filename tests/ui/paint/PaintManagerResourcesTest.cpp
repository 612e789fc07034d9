// The paint manager's shared resources: fonts, the image cache over the
// skin archive linked into this executable (DAT 130), default attribute
// lists, language strings, colours, window properties, groups and the
// parent-resource chain.
#include "ui/paint/PaintManagerUI.h"

#include "tests/support/GdiHandleWatch.h"
#include "ui/render/RenderEngine.h"

#include <gtest/gtest.h>

#include <memory>

namespace SkinUI {
namespace {

const wchar_t kYaHei[] = L"\u5FAE\u8F6F\u96C5\u9ED1";

// Installs the skin archive of this executable once for the whole process,
// as the main window does.
void InstallSkinArchive()
{
    static bool installed = false;
    if (installed) return;
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(130), L"DAT");
    ASSERT_TRUE(found) << "no resource DAT 130";
    HGLOBAL loaded = ::LoadResource(module, found);
    CPaintManagerUI::SetResourceZip(::LockResource(loaded), ::SizeofResource(module, found));
    installed = true;
}

HBITMAP SolidBitmap(int w, int h)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

struct Window {
    Window()
    {
        hwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr, nullptr, nullptr);
    }
    ~Window() { ::DestroyWindow(hwnd); }
    HWND hwnd;
};

TEST(PaintManagerFonts, IndexedFontsFallBackToTheDefault)
{
    CPaintManagerUI pm;
    HFONT small = pm.AddFont(kYaHei, 12, false, false, false);
    HFONT large = pm.AddFont(kYaHei, 14, true, false, false);
    ASSERT_TRUE(small && large);
    EXPECT_EQ(2u, pm.GetCustomFontCount());
    EXPECT_EQ(small, pm.GetFont(0));
    EXPECT_EQ(large, pm.GetFont(1));
    HFONT fallback = pm.GetDefaultFontInfo()->hFont;
    for (int index : {-1, 2, 10}) EXPECT_EQ(fallback, pm.GetFont(index)) << index;

    TFontInfo* info = pm.GetFontInfo(1);
    EXPECT_TRUE(info->bBold);
    EXPECT_EQ(14, info->iSize);
    EXPECT_GT(info->tm.tmHeight, 0) << "metrics are computed on first request";
    LOGFONTW lf = {};
    ::GetObjectW(large, sizeof(lf), &lf);
    EXPECT_EQ(-14, lf.lfHeight);
    EXPECT_GE(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);

    EXPECT_EQ(large, pm.GetFont(kYaHei, 14, true, false, false));
    EXPECT_EQ(nullptr, pm.GetFont(kYaHei, 14, false, false, false)) << "all flags must match";
    EXPECT_EQ(1, pm.GetFontIndex(large));
    EXPECT_EQ(-1, pm.GetFontIndex(kYaHei, 15, true, false, false));

    // Inserting shifts later fonts; removing frees them.
    HFONT first = pm.AddFontAt(0, L"Tahoma", 9, false, true, true);
    ASSERT_TRUE(first);
    EXPECT_EQ(small, pm.GetFont(1));
    EXPECT_EQ(nullptr, pm.AddFontAt(7, L"Tahoma", 9, false, false, false)) << "beyond the end";
    EXPECT_TRUE(pm.RemoveFont(first));
    EXPECT_FALSE(pm.RemoveFont(first));
    EXPECT_TRUE(pm.RemoveFontAt(0));
    EXPECT_FALSE(pm.RemoveFontAt(5));
    EXPECT_EQ(large, pm.GetFont(0));
}

TEST(PaintManagerFonts, DefaultFontUsesTheFaceOfTheSystemVersion)
{
    CPaintManagerUI pm;
    TFontInfo* info = pm.GetDefaultFontInfo();
    ASSERT_TRUE(info->hFont);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&version);
#pragma GCC diagnostic pop
    EXPECT_EQ(CUiString(version.dwMajorVersion < 6 ? L"\u5B8B\u4F53" : kYaHei), info->sFontName.GetData());
    EXPECT_GT(info->tm.tmHeight, 0);

    pm.SetDefaultFont(L"Tahoma", 20, true, false, false);
    EXPECT_EQ(20, pm.GetDefaultFontInfo()->iSize);
    EXPECT_EQ(CUiString(L"Tahoma"), pm.GetDefaultFontInfo()->sFontName.GetData());
    // Every new manager rebuilds the shared default from the stock font.
    CPaintManagerUI second;
    EXPECT_NE(20, second.GetDefaultFontInfo()->iSize);
}

class PaintManagerImages : public ::testing::Test {
protected:
    void SetUp() override { InstallSkinArchive(); }
};

TEST_F(PaintManagerImages, SkinImagesLoadOnceFromTheArchive)
{
    CPaintManagerUI pm;
    const TImageInfo* image = pm.GetImageEx(L"btn_close_nor.png");
    ASSERT_TRUE(image);
    EXPECT_GT(image->nX, 0);
    EXPECT_GT(image->nY, 0);
    EXPECT_EQ(image, pm.GetImageEx(L"btn_close_nor.png"));
    EXPECT_EQ(image, pm.GetImage(L"btn_close_nor.png"));
    EXPECT_EQ(nullptr, pm.GetImage(L"BTN_CLOSE_NOR.PNG")) << "cache keys are case-sensitive";
    // The archive lookup itself ignores case, so this is a second record.
    const TImageInfo* upper = pm.GetImageEx(L"BTN_CLOSE_NOR.PNG");
    ASSERT_TRUE(upper);
    EXPECT_NE(image, upper);

    // Named by the main window but not in the archive.
    EXPECT_EQ(nullptr, pm.GetImageEx(L"scroll.png"));
    EXPECT_EQ(nullptr, pm.AddImage(L"btn_close_nor.png")) << "already cached";
    const TImageInfo* masked = pm.AddImage(L"logo.png", nullptr, 0xFFFF00FF);
    ASSERT_TRUE(masked);
    EXPECT_EQ(0xFFFF00FFu, masked->dwMask);
    EXPECT_TRUE(masked->sResType.IsEmpty());
}

TEST_F(PaintManagerImages, BitmapsCanBeCachedRemovedAndReloaded)
{
    CPaintManagerUI pm;
    EXPECT_EQ(nullptr, pm.AddImage(L"x", static_cast<HBITMAP>(nullptr), 4, 4, false));
    HBITMAP zeroWidth = SolidBitmap(4, 4);
    EXPECT_EQ(nullptr, pm.AddImage(L"x", zeroWidth, 0, 4, false));
    ::DeleteObject(zeroWidth);
    const TImageInfo* own = pm.AddImage(L"x", SolidBitmap(4, 4), 4, 4, true);
    ASSERT_TRUE(own);
    EXPECT_TRUE(own->alphaChannel);
    EXPECT_EQ(nullptr, pm.AddImage(L"x", SolidBitmap(4, 4), 4, 4, true)) << "the duplicate bitmap is deleted";

    // Reloading replaces the bitmaps of images loaded from the skin but
    // keeps the records that controls point to.
    const TImageInfo* logo = pm.GetImageEx(L"logo.png");
    ASSERT_TRUE(logo);
    HBITMAP before = logo->hBitmap;
    pm.ReloadAllImages();
    EXPECT_EQ(logo, pm.GetImage(L"logo.png"));
    EXPECT_NE(before, logo->hBitmap);
    EXPECT_EQ(OBJ_BITMAP, static_cast<int>(::GetObjectType(logo->hBitmap)));
    EXPECT_EQ(own, pm.GetImage(L"x"));

    EXPECT_TRUE(pm.RemoveImage(L"logo.png"));
    EXPECT_FALSE(pm.RemoveImage(L"logo.png"));
    EXPECT_EQ(nullptr, pm.GetImage(L"logo.png"));
}

TEST_F(PaintManagerImages, EveryBitmapTheCacheHeldIsDeletedWithIt)
{
    auto pm = std::make_unique<CPaintManagerUI>();
    SkinUI::Test::GdiHandleWatch watch;
    ASSERT_TRUE(pm->GetImageEx(L"logo.png"));
    ASSERT_TRUE(pm->GetImageEx(L"home.png"));
    ASSERT_TRUE(pm->AddImage(L"x", SolidBitmap(4, 4), 4, 4, true));
    EXPECT_FALSE(pm->AddImage(L"x", SolidBitmap(4, 4), 4, 4, true));
    pm->ReloadAllImages();
    EXPECT_TRUE(pm->RemoveImage(L"home.png"));
    // Left: the reloaded logo and the bitmap given as "x".
    EXPECT_EQ(2u, watch.Alive().size()) << watch.Describe();
    pm.reset();
    // Two skin images, two given bitmaps, and two reloaded skin images.
    EXPECT_EQ(6u, watch.Created().size()) << watch.Describe();
    EXPECT_TRUE(watch.Alive().empty()) << watch.Describe();
    EXPECT_TRUE(watch.Unreleased().empty()) << watch.Describe();
}

TEST_F(PaintManagerImages, ReloadSkinReachesEveryManagerWithAWindow)
{
    Window window;
    CPaintManagerUI bound, unbound;
    bound.Init(window.hwnd);
    const TImageInfo* listed = bound.GetImageEx(L"call.png");
    const TImageInfo* unlisted = unbound.GetImageEx(L"call.png");
    ASSERT_TRUE(listed && unlisted);
    HBITMAP listedBefore = listed->hBitmap, unlistedBefore = unlisted->hBitmap;
    CPaintManagerUI::ReloadSkin();
    EXPECT_NE(listedBefore, listed->hBitmap);
    EXPECT_EQ(unlistedBefore, unlisted->hBitmap);
}

TEST_F(PaintManagerImages, DrawsSkinImagesThroughImageStrings)
{
    CPaintManagerUI pm;
    HDC dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP target = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, target);
    RECT rc = {0, 0, 40, 40};
    EXPECT_TRUE(CRenderEngine::DrawImageString(dc, &pm, rc, rc, L"file='home.png' dest='0,6,18,24'"));
    EXPECT_FALSE(CRenderEngine::DrawImageString(dc, &pm, rc, rc, L"file='scroll.png'"));
    ::SelectObject(dc, old);
    ::DeleteObject(target);
    ::DeleteDC(dc);
}

TEST(PaintManagerResourceChain, ParentsLendImagesFontsAndDefaultsWithoutCycles)
{
    CPaintManagerUI root, child, grandchild;
    EXPECT_TRUE(child.UseParentResource(&root));
    EXPECT_TRUE(grandchild.UseParentResource(&child));
    EXPECT_FALSE(root.UseParentResource(&grandchild)) << "would close a cycle";
    EXPECT_FALSE(root.UseParentResource(&root));
    EXPECT_EQ(nullptr, root.GetParentResource());

    root.AddImage(L"shared", SolidBitmap(2, 2), 2, 2, false);
    EXPECT_TRUE(grandchild.GetImage(L"shared"));
    HFONT font = root.AddFont(L"Tahoma", 11, false, false, false);
    EXPECT_EQ(font, grandchild.GetFont(L"Tahoma", 11, false, false, false));
    EXPECT_EQ(-1, grandchild.GetFontIndex(font)) << "indices are the manager's own";
    root.AddDefaultAttributeList(L"Button", L"height=\"20\"");
    EXPECT_EQ(CUiString(L"height=\"20\""), grandchild.GetDefaultAttributeList(L"Button"));

    root.SetDefaultFontColor(0xFF112233);
    grandchild.SetDefaultFontColor(0xFF445566);
    EXPECT_EQ(0xFF112233u, grandchild.GetDefaultFontColor()) << "the topmost manager's colour wins";

    EXPECT_TRUE(grandchild.UseParentResource(nullptr));
    EXPECT_EQ(nullptr, grandchild.GetImage(L"shared"));
    EXPECT_EQ(0xFF445566u, grandchild.GetDefaultFontColor());
}

TEST(PaintManagerDefaults, FirstDefinitionWinsForAttributesAndLanguage)
{
    CPaintManagerUI pm;
    EXPECT_EQ(nullptr, pm.GetDefaultAttributeList(L"VScrollBar"));
    pm.AddDefaultAttributeList(L"VScrollBar", L"first");
    pm.AddDefaultAttributeList(L"VScrollBar", L"second");
    EXPECT_EQ(CUiString(L"first"), pm.GetDefaultAttributeList(L"VScrollBar"));
    EXPECT_EQ(1, pm.GetDefaultAttribultes().GetSize());
    EXPECT_TRUE(pm.RemoveDefaultAttributeList(L"VScrollBar"));
    EXPECT_FALSE(pm.RemoveDefaultAttributeList(L"VScrollBar"));

    CPaintManagerUI::AddLanguageAttributeList(L"ID_A", L"one");
    CPaintManagerUI::AddLanguageAttributeList(L"ID_A", L"two");
    EXPECT_EQ(CUiString(L"one"), CPaintManagerUI::GetLanguageAttributeList(L"ID_A"));
    EXPECT_EQ(nullptr, CPaintManagerUI::GetLanguageAttributeList(L"ID_B"));
    CPaintManagerUI::RemoveAllLanguageAttributeList();
    EXPECT_EQ(0, CPaintManagerUI::GetLanguagetAttribultes().GetSize());
}

TEST(PaintManagerDefaults, ColoursAndWindowPropertiesStartAsDocumented)
{
    CPaintManagerUI pm;
    EXPECT_EQ(0xFFA7A6AAu, pm.GetDefaultDisabledColor());
    EXPECT_EQ(0xFF000000u, pm.GetDefaultFontColor());
    EXPECT_EQ(0xFF0000FFu, pm.GetDefaultLinkFontColor());
    EXPECT_EQ(0xFFD3215Fu, pm.GetDefaultLinkHoverFontColor());
    EXPECT_EQ(0xFFBAE4FFu, pm.GetDefaultSelectedBkColor());
    EXPECT_EQ(255, pm.GetTransparent());
    EXPECT_EQ(0, pm.GetInitSize().cx);
    EXPECT_FALSE(pm.IsShadow());
    EXPECT_FALSE(pm.IsBackgroundTransparent());
    EXPECT_EQ(CUiString(L""), pm.GetShadowImage());
    pm.SetShadowImage(std::wstring(300, L'a').c_str());
    EXPECT_EQ(260, CUiString(pm.GetShadowImage()).GetLength());
}

TEST(PaintManagerWindow, TransparencyClampsAndTogglesTheLayeredStyle)
{
    Window window;
    ASSERT_TRUE(window.hwnd);
    CPaintManagerUI pm;
    pm.Init(window.hwnd);
    struct Case {
        int requested;
        int stored;
        bool layered;
    };
    const Case cases[] = {{128, 128, true}, {300, 255, false}, {0, 0, true}, {-5, 0, false}, {255, 255, true}};
    for (const Case& c : cases) {
        pm.SetTransparent(c.requested);
        EXPECT_EQ(c.stored, pm.GetTransparent()) << c.requested;
        const bool layered = (::GetWindowLongW(window.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        EXPECT_EQ(c.layered, layered) << c.requested;
        if (c.layered) {
            BYTE alpha = 0;
            DWORD flags = 0;
            ASSERT_TRUE(::GetLayeredWindowAttributes(window.hwnd, nullptr, &alpha, &flags));
            EXPECT_EQ(c.stored, alpha);
        }
    }

    pm.SetInitSize(120, 90);
    RECT rc;
    ::GetWindowRect(window.hwnd, &rc);
    EXPECT_EQ(120, rc.right - rc.left);
    EXPECT_EQ(90, rc.bottom - rc.top);
}

TEST(PaintManagerWindow, ManagersWithAWindowAreListedUntilDestroyed)
{
    Window window;
    CStdPtrArray* managers = CPaintManagerUI::GetPaintManagers();
    const int before = managers->GetSize();
    {
        CPaintManagerUI unbound;
        EXPECT_EQ(before, managers->GetSize());
        CPaintManagerUI bound;
        bound.Init(window.hwnd);
        EXPECT_EQ(before + 1, managers->GetSize());
        EXPECT_EQ(&bound, managers->GetAt(before));
        EXPECT_EQ(window.hwnd, bound.GetPaintWindow());
        EXPECT_TRUE(bound.GetPaintDC());
    }
    EXPECT_EQ(before, managers->GetSize());
}

TEST(PaintManagerWindow, LanguageReloadRebuildsThroughTheLoader)
{
    struct Reader : LanguageReader {
        void ReadLanguage(STRINGorID, CPaintManagerUI& manager) const override
        {
            seen = &manager;
            CPaintManagerUI::AddLanguageAttributeList(L"ID_NEW", L"new");
        }
        mutable CPaintManagerUI* seen = nullptr;
    } reader;
    Window window;
    CPaintManagerUI pm;
    pm.Init(window.hwnd);
    CPaintManagerUI::AddLanguageAttributeList(L"ID_OLD", L"old");
    pm.SetLanguageReader(&reader);
    CPaintManagerUI::ReLoadLanguage(L"<lang/>");
    const CPaintManagerUI* seen = reader.seen;
    EXPECT_EQ(&pm, seen);
    EXPECT_EQ(nullptr, CPaintManagerUI::GetLanguageAttributeList(L"ID_OLD"));
    EXPECT_EQ(CUiString(L"new"), CPaintManagerUI::GetLanguageAttributeList(L"ID_NEW"));
    CPaintManagerUI::RemoveAllLanguageAttributeList();
}

TEST(PaintManagerColourAdjustment, ClampsHueSaturationAndLightness)
{
    CPaintManagerUI::SetHSL(true, 400, -1, 250);
    short h = 0, s = 0, l = 0;
    CPaintManagerUI::GetHSL(&h, &s, &l);
    EXPECT_EQ(360, h);
    EXPECT_EQ(0, s);
    EXPECT_EQ(200, l);
    CPaintManagerUI::SetHSL(false, 180, 100, 100);
    CPaintManagerUI::GetHSL(&h, &s, &l);
    EXPECT_EQ(180, h);
    EXPECT_EQ(100, s);
    EXPECT_EQ(100, l);
}

}  // namespace
}  // namespace SkinUI
