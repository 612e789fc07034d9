// Control trees in real windows: what the window shows, a control removed
// from inside its own click, and no handle left behind by a thousand
// windows built and destroyed.
#include "tests/ui/controls/WidgetTestSupport.h"
#include "tests/ui/render/Canvas.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/VerticalLayoutUI.h"

#include <gtest/gtest.h>

#include <string>

namespace SkinUI {
namespace {

using Test::MakeBitmap;
using Test::TestWindow;

using Test::Make;

// A tree in the shape of the main window: title bar with a logo image and a
// floating close button, a separator, a content page and a status bar.
CControlUI* BuildPage(CPaintManagerUI& pm)
{
    HBITMAP logo = MakeBitmap(8, 8, [](int x, int) { return x < 4 ? DWORD(0xFF00FF00) : DWORD(0xFFFFFF00); });
    pm.AddImage(L"logo.png", logo, 8, 8, false);
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    auto* title = Make<CHorizontalLayoutUI>(root, L"height=\"36\" bkcolor=\"#FF251F29\"");
    auto* left = Make<CVerticalLayoutUI>(title);
    Make<CControlUI>(left, L"float=\"true\" pos=\"4,6,0,0\" width=\"8\" height=\"8\" bkimage=\"logo.png\"");
    auto* right = Make<CVerticalLayoutUI>(title, L"width=\"100\"");
    Make<CControlUI>(right, L"name=\"close\" float=\"true\" pos=\"72,0,0,0\" width=\"28\" height=\"30\" "
                            L"bkcolor=\"#FFE81123\"");
    Make<CControlUI>(root, L"height=\"1\" bkcolor=\"#FF3e3e3e\"");
    auto* tabs = Make<CTabLayoutUI>(root, L"name=\"tabs\"");
    Make<CControlUI>(tabs, L"bkcolor=\"#FF102030\"");
    Make<CControlUI>(tabs, L"bkcolor=\"#FF405060\"");
    Make<CHorizontalLayoutUI>(root, L"height=\"20\" bkcolor=\"#FFF8F8F8\" bordercolor=\"#FF0000FF\" "
                                    L"bordersize=\"0,1,0,0\"");
    return root;
}

TEST(WindowTree, TheWindowShowsThePaintedTree)
{
    TestWindow window(300, 200, nullptr, 20, 20);
    CControlUI* root = BuildPage(window.pm());
    window.pm().AttachDialog(root);
    ::InvalidateRect(window.hwnd(), nullptr, FALSE);
    ASSERT_TRUE(window.PumpUntil([&] { return window.PixelAt(150, 100) == 0x102030; }))
        << std::hex << window.PixelAt(150, 100);

    EXPECT_EQ(0x251F29u, window.PixelAt(100, 20)) << "title bar";
    EXPECT_EQ(0x00FF00u, window.PixelAt(5, 8)) << "logo, left half";
    EXPECT_EQ(0xFFFF00u, window.PixelAt(10, 8)) << "logo, right half";
    EXPECT_EQ(0xE81123u, window.PixelAt(290, 10)) << "close button anchored in the 100-pixel column";
    EXPECT_EQ(0x251F29u, window.PixelAt(271, 10));
    EXPECT_EQ(0x3E3E3Eu, window.PixelAt(150, 36)) << "separator";
    EXPECT_EQ(0x0000FFu, window.PixelAt(150, 180)) << "status bar's top border";
    EXPECT_EQ(0xF8F8F8u, window.PixelAt(150, 190));

    // Selecting the second tab repaints the page.
    auto* tabs = static_cast<CTabLayoutUI*>(window.pm().FindControl(L"tabs"));
    ASSERT_NE(nullptr, tabs);
    tabs->SelectItem(1);
    EXPECT_TRUE(window.PumpUntil([&] { return window.PixelAt(150, 100) == 0x405060; }))
        << std::hex << window.PixelAt(150, 100);
}

// Sends "click" on a button release, then keeps using itself, as a button
// does after its notification returns.
class ClickableUI : public CControlUI {
public:
    int clicks = 0;
    void DoEvent(TEventUI& event) override
    {
        if (event.Type == UIEVENT_BUTTONUP && m_pManager) {
            m_pManager->SendNotify(this, L"click");
            ++clicks;  // still alive after its own handler removed it
            Invalidate();
            return;
        }
        CControlUI::DoEvent(event);
    }
};

struct RemoveOnClick : INotifyUI {
    int destroyed = 0;
    int clicks = 0;
    void Notify(TNotifyUI& msg) override
    {
        if (msg.sType != L"click" || !msg.pSender) return;
        ++clicks;
        auto* parent = static_cast<CContainerUI*>(msg.pSender->GetParent()->GetInterface(L"Container"));
        parent->Remove(msg.pSender);
    }
    bool OnDestroy(void*)
    {
        ++destroyed;
        return true;
    }
};

TEST(WindowTree, AControlRemovedInsideItsOwnClickIsDeletedAfterwards)
{
    auto* root = new CHorizontalLayoutUI;
    auto* button = Make<ClickableUI>(root, L"bkcolor=\"#FFFF0000\"");
    Make<CControlUI>(root, L"bkcolor=\"#FF0000FF\"");
    RemoveOnClick handler;
    button->OnDestroy += MakeDelegate(&handler, &RemoveOnClick::OnDestroy);
    TestWindow window(200, 100, root, 20, 20);
    window.pm().AddNotifier(&handler);
    ASSERT_TRUE(window.PumpUntil([&] { return window.PixelAt(50, 50) == 0xFF0000; }));

    window.Click(50, 50);
    ASSERT_TRUE(window.PumpUntil([&] { return handler.destroyed == 1; }));
    EXPECT_EQ(1, handler.clicks);
    EXPECT_EQ(1, root->GetCount());
    // The other child now fills the layout.
    EXPECT_TRUE(window.PumpUntil([&] { return window.PixelAt(50, 50) == 0x0000FF; }))
        << std::hex << window.PixelAt(50, 50);
    window.pm().RemoveNotifier(&handler);
}

// A 1x1 GIF of two frames of 100 ms each, red and blue. Equal delays
// matter: the timer is only restarted when the delay changes.
std::wstring WriteTwoFrameGif()
{
    static const unsigned char kGif[] = {
        'G',  'I',  'F', '8', '9', 'a',  1, 0, 1, 0, 0x80, 0, 0,           // screen 1x1, two global colours
        0xFF, 0,    0,   0,   0,   0xFF,                                   // red, blue
        0x21, 0xF9, 4,   0,   10,  0,    0, 0,                             // 100 ms
        0x2C, 0,    0,   0,   0,   1,    0, 1, 0, 0, 2,    2, 0x44, 1, 0,  // pixel: colour 0
        0x21, 0xF9, 4,   0,   10,  0,    0, 0,                             // 100 ms
        0x2C, 0,    0,   0,   0,   1,    0, 1, 0, 0, 2,    2, 0x4C, 1, 0,  // pixel: colour 1
        0x3B};
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"vornex_control_test.gif";
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, kGif, sizeof(kGif), &written, nullptr);
    ::CloseHandle(file);
    return path;
}

TEST(WindowTree, AnAnimatedBackgroundAdvancesOnItsTimerAndResumesWhenShownAgain)
{
    const std::wstring gif = WriteTwoFrameGif();
    auto* root = new CVerticalLayoutUI;
    auto* spinner = new CControlUI;
    spinner->SetBkImage(gif.c_str());
    root->Add(spinner);
    TestWindow window(40, 40, root, 20, 20);
    ASSERT_TRUE(window.PumpUntil([&] { return window.PixelAt(20, 20) == 0xFF0000; }))
        << std::hex << window.PixelAt(20, 20);
    EXPECT_TRUE(window.PumpUntil([&] { return window.PixelAt(20, 20) == 0x0000FF; })) << "the next frame";
    EXPECT_TRUE(window.PumpUntil([&] { return window.PixelAt(20, 20) == 0xFF0000; })) << "and round again";

    // Hidden, the animation stops; shown again, it runs on.
    spinner->SetVisible(false);
    window.PumpUntil([] { return false; }, 300);
    spinner->SetVisible(true);
    for (DWORD colour : {0xFF0000u, 0x0000FFu, 0xFF0000u})
        ASSERT_TRUE(window.PumpUntil([&] { return window.PixelAt(20, 20) == colour; }))
            << "still animating: " << std::hex << colour;
    ::DeleteFileW(gif.c_str());
}

// Moves a control outside the layout that is running, as a size handler
// of an application might.
struct MoveOnSize {
    CControlUI* other = nullptr;
    RECT to = {0, 0, 0, 0};
    bool OnSize(void*)
    {
        if (other) other->SetPos(to);
        return true;
    }
};

TEST(WindowTree, ALayoutInvalidatesWhatMovedAndNothingIsLostToTheCover)
{
    auto* root = new CContainerUI;
    auto* column = Make<CVerticalLayoutUI>(root, L"float=\"true\" pos=\"0,0,100,200\"");
    CControlUI* top = Make<CControlUI>(column, L"height=\"50\"");
    Make<CControlUI>(column);
    CControlUI* outside = Make<CControlUI>(root, L"float=\"true\" pos=\"150,150,170,170\"");
    TestWindow window(300, 250, root, 20, 20);
    ASSERT_TRUE(window.PumpUntil([&] { return !::GetUpdateRect(window.hwnd(), nullptr, FALSE); }));

    // Relaying out the column invalidates the column (its children lie inside).
    ::ValidateRect(window.hwnd(), nullptr);
    column->SetPos(RECT{0, 0, 100, 200});
    RECT update = {};
    ASSERT_TRUE(::GetUpdateRect(window.hwnd(), &update, FALSE));
    EXPECT_EQ(0, update.left);
    EXPECT_EQ(100, update.right);
    EXPECT_EQ(200, update.bottom);

    // A control moved by a handler while the column lays out is outside the
    // column: its old and new places are invalidated all the same.
    MoveOnSize mover{outside, RECT{200, 20, 220, 40}};
    top->OnSize += MakeDelegate(&mover, &MoveOnSize::OnSize);
    ::ValidateRect(window.hwnd(), nullptr);
    column->SetPos(RECT{0, 0, 100, 200});
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ::GetUpdateRgn(window.hwnd(), region, FALSE);
    EXPECT_TRUE(::PtInRegion(region, 50, 100));
    EXPECT_TRUE(::PtInRegion(region, 160, 160)) << "where it was";
    EXPECT_TRUE(::PtInRegion(region, 210, 30)) << "where it went";
    EXPECT_FALSE(::PtInRegion(region, 250, 200));
    ::DeleteObject(region);
    top->OnSize -= MakeDelegate(&mover, &MoveOnSize::OnSize);
}

// Counts the process's live GDI objects by asking the system about every
// handle slot (a handle without its high word names the slot's current
// object, whatever its generation).
int LiveGdiObjects()
{
    int count = 0;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++count;
    return count;
}

BOOL CALLBACK CountWindow(HWND, LPARAM counter)
{
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

int ThreadWindows()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

void OneWindowLife()
{
    TestWindow window(300, 200, nullptr, 40, 40);
    CControlUI* root = BuildPage(window.pm());
    window.pm().AttachDialog(root);
    // Paint it, hover it and switch a tab, so every painting path runs.
    ::RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(290, 10));
    static_cast<CTabLayoutUI*>(window.pm().FindControl(L"tabs"))->SelectItem(1);
    ::RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    window.Pump();
}

TEST(WindowTree, AThousandWindowsWithTheirTreesLeaveNoHandleBehind)
{
    OneWindowLife();  // process-wide objects (stock and default fonts, caches) appear once
    const int gdiBefore = LiveGdiObjects();
    const int windowsBefore = ThreadWindows();
    ASSERT_GT(gdiBefore, 0) << "the handle census sees objects";
    for (int i = 0; i < 1000; ++i) OneWindowLife();
    EXPECT_EQ(gdiBefore, LiveGdiObjects());
    EXPECT_EQ(windowsBefore, ThreadWindows());
}

}  // namespace
}  // namespace SkinUI
