// The paint manager's resources are owned: every font, bitmap and device
// context a manager takes is gone once it is, checked on the real handles;
// and the shared default font stays valid for windows that were given it.
#include "ui/paint/PaintManagerUI.h"
#include "tests/support/GdiHandleWatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace SkinUI;
using SkinUI::Test::GdiHandleWatch;
using ::testing::IsEmpty;

namespace {

struct PopupWindow {
    PopupWindow()
    {
        hwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr);
    }
    ~PopupWindow() { ::DestroyWindow(hwnd); }
    HWND hwnd;
};

HBITMAP MakeBitmap(int cx, int cy)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

bool Exists(HGDIOBJ object) { return ::GetObjectType(object) != 0; }

TEST(ResourceOwnership, AManagerLeavesNoFontBitmapOrDeviceContextBehind)
{
    CPaintManagerUI warmUp;  // the process's default font exists before the watch
    PopupWindow first, second;
    GdiHandleWatch watch;
    HFONT removed = nullptr;
    {
        CPaintManagerUI pm;
        pm.Init(first.hwnd);
        pm.Init(second.hwnd);  // the first window's DC goes back at once
        ASSERT_TRUE(pm.AddFont(L"Tahoma", 12, false, false, false));
        ASSERT_TRUE(pm.AddFont(L"Tahoma", 14, true, true, true));
        removed = pm.GetFont(0);
        ASSERT_TRUE(pm.RemoveFontAt(0));
        EXPECT_FALSE(Exists(removed)) << "a removed font is deleted with its record";
        ASSERT_TRUE(pm.AddImage(L"made", MakeBitmap(8, 8), 8, 8, false));
        ASSERT_EQ(pm.AddImage(L"made", MakeBitmap(4, 4), 4, 4, false), nullptr) << "the name is taken";
        ASSERT_EQ(pm.AddImage(L"empty", MakeBitmap(4, 4), 0, 4, false), nullptr) << "no size";
        pm.GetFontInfo(0);  // metrics through the window DC
        EXPECT_EQ(watch.Unreleased().size(), 1u) << "only the second window's DC is held";
    }
    watch.Stop();
    EXPECT_THAT(watch.Unreleased(), IsEmpty());
    EXPECT_THAT(watch.Alive(), IsEmpty()) << watch.Describe();
}

TEST(ResourceOwnership, ADefaultFontGivenToANativeChildOutlivesItsReplacement)
{
    PopupWindow window;
    HWND child = ::CreateWindowExW(0, L"STATIC", L"text", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, window.hwnd, nullptr,
                                   nullptr, nullptr);
    auto* owner = new CPaintManagerUI;
    owner->Init(window.hwnd);
    HFONT handedOut = owner->GetDefaultFontInfo()->hFont;
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(handedOut), FALSE);

    owner->SetDefaultFont(L"Tahoma", 20, true, false, false);
    HFONT replacement = owner->GetDefaultFontInfo()->hFont;
    ASSERT_NE(replacement, handedOut);
    auto* later = new CPaintManagerUI;  // builds the default from the stock font again
    HFONT rebuilt = later->GetDefaultFontInfo()->hFont;
    ASSERT_NE(rebuilt, replacement);

    HFONT childFont = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
    EXPECT_EQ(childFont, handedOut);
    EXPECT_TRUE(Exists(childFont)) << "the child's font survives two replacements";
    EXPECT_TRUE(Exists(replacement));

    delete owner;  // the window that handed the font out is done with it
    EXPECT_FALSE(Exists(handedOut));
    EXPECT_TRUE(Exists(replacement)) << "the later manager may have handed it out too";
    delete later;
    EXPECT_FALSE(Exists(replacement));
    EXPECT_TRUE(Exists(rebuilt)) << "the current default font stays";

    CPaintManagerUI again;
    EXPECT_EQ(again.GetDefaultFontInfo()->hFont, rebuilt) << "an identical default font is not made twice";
}

TEST(ResourceOwnership, ImageResourceIdsAreDecimalAndWithinRange)
{
    const struct {
        const wchar_t* name;
        UINT id;
    } cases[] = {
        {L"130", 130}, {L"65535", 65535}, {L"65536", 0}, {L"99999999999", 0},
        {L"12px", 12}, {L"x12", 0},       {L"", 0},      {L"0", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ImageCache::ResourceIdOf(c.name), c.id) << c.name;
    EXPECT_EQ(ImageCache::ResourceIdOf(nullptr), 0u);
}

}  // namespace
