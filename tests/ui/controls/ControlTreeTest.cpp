// Control trees built in code: attributes, layout, visibility, hit testing,
// tabs, child ownership, events and painting into a DIB section. The
// manager here has no window; what needs one is in WindowTreeTest.cpp.
#include "tests/ui/controls/WidgetTestSupport.h"
#include "tests/ui/render/Canvas.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/render/RenderEngine.h"

#include <gtest/gtest.h>

#include <string>

namespace SkinUI {
namespace {

using Test::Canvas;
using Test::MakeBitmap;

RECT R(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual)
{
    if (::EqualRect(&expected, &actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << "," << expected.top << ","
                                         << expected.right << "," << expected.bottom << ") got (" << actual.left << ","
                                         << actual.top << "," << actual.right << "," << actual.bottom << ")";
}

using Test::Make;

// A root attached to a manager without a window: layout and invalidation
// run as in a window, nothing is drawn on screen.
class TreeTest : public ::testing::Test {
protected:
    void Attach(CControlUI* root)
    {
        m_root = root;
        root->SetManager(&m_pm, nullptr, true);
    }
    void TearDown() override { delete m_root; }

    CPaintManagerUI m_pm;
    CControlUI* m_root = nullptr;
};

// ---- attributes ---------------------------------------------------------

TEST(ControlAttributes, PosSizesAndLaterAttributesOverride)
{
    CControlUI c;
    c.ApplyAttributeList(L"float=\"true\" pos=\"272,0,0,0\" width=\"28\" height=\"30\"");
    EXPECT_TRUE(c.IsFloat());
    EXPECT_EQ(272, c.GetFixedXY().cx);
    EXPECT_EQ(28, c.GetFixedWidth()) << "the negative width of pos is ignored; width sets it";
    EXPECT_EQ(30, c.GetFixedHeight());

    CControlUI anchored;
    anchored.SetAttribute(L"pos", L"-40,-10,-10,-2");
    EXPECT_EQ(-10, anchored.GetFixedXY().cx) << "a negative left takes the right coordinate";
    EXPECT_EQ(-2, anchored.GetFixedXY().cy);
    EXPECT_EQ(30, anchored.GetFixedWidth());
    EXPECT_EQ(8, anchored.GetFixedHeight());

    CControlUI twoNumbers;
    twoNumbers.SetAttribute(L"pos", L"5,6");
    EXPECT_EQ(5, twoNumbers.GetFixedXY().cx);
    EXPECT_EQ(0, twoNumbers.GetFixedWidth()) << "missing numbers are 0; the negative width is ignored";
}

TEST(ControlAttributes, VocabularyMapsToTheSetters)
{
    CControlUI c;
    c.ApplyAttributeList(
        L"name=\"sep\" bkcolor=\" #FF3e3e3e\" bkcolor2=\"#80000000\" bordercolor=\"#FF00FF00\" "
        L"padding=\"1,2,3,4\" minwidth=\"5\" maxheight=\"50\" tooltip=\"one<n>two\" shortcut=\"Q\" "
        L"userdata=\"u\" enabled=\"false\" mouse=\"TRUE\" keyboard=\"1\" menu=\"true\" borderround=\"4,6\" "
        L"borderstyle=\"2\" colorhsl=\"true\" virtualwnd=\"page\" unknown=\"ignored\" text=\"hi\"");
    EXPECT_EQ(CUiString(L"sep"), c.GetName().GetData());
    EXPECT_EQ(0xFF3E3E3Eu, c.GetBkColor());
    EXPECT_EQ(0x80000000u, c.GetBkColor2());
    EXPECT_EQ(0xFF00FF00u, c.GetBorderColor());
    EXPECT_TRUE(SameRect(R(1, 2, 3, 4), c.GetPadding()));
    EXPECT_EQ(5, c.GetMinWidth());
    EXPECT_EQ(50, c.GetMaxHeight());
    EXPECT_EQ(CUiString(L"one\r\ntwo"), c.GetToolTip().GetData());
    EXPECT_EQ(L'Q', c.GetShortcut());
    EXPECT_EQ(CUiString(L"u"), c.GetUserData().GetData());
    EXPECT_FALSE(c.IsEnabled());
    EXPECT_FALSE(c.IsMouseEnabled()) << "only \"true\" is true";
    EXPECT_FALSE(c.IsKeyboardEnabled());
    EXPECT_TRUE(c.IsContextMenuUsed());
    EXPECT_EQ(4, c.GetBorderRound().cx);
    EXPECT_EQ(6, c.GetBorderRound().cy);
    EXPECT_EQ(2, c.GetBorderStyle());
    EXPECT_TRUE(c.IsColorHSL());
    EXPECT_EQ(CUiString(L"page"), c.GetVirtualWnd().GetData());
    EXPECT_EQ(CUiString(L"hi"), c.GetText().GetData());
}

TEST(ControlAttributes, BorderSizeIsUniformOrPerSide)
{
    CControlUI c;
    c.SetAttribute(L"bordersize", L"1,0,1,0");
    EXPECT_EQ(0, c.GetBorderSize());
    EXPECT_EQ(1, c.GetLeftBorderSize());
    EXPECT_EQ(0, c.GetTopBorderSize());
    c.SetAttribute(L"bordersize", L"2");
    EXPECT_EQ(2, c.GetBorderSize());
    EXPECT_EQ(0, c.GetLeftBorderSize()) << "a single number clears the per-side sizes";
    EXPECT_EQ(0, c.GetRightBorderSize());
}

TEST(ControlAttributes, ClassesHandleTheirOwnNamesAndPassTheRestOn)
{
    CVerticalLayoutUI layout;
    layout.ApplyAttributeList(
        L"sepheight=\"-4\" sepimm=\"true\" inset=\"1,2,3,4\" childpadding=\"6\" mousechild=\"false\" "
        L"bkcolor=\"#FF102030\" height=\"36\"");
    EXPECT_EQ(-4, layout.GetSepHeight());
    EXPECT_TRUE(layout.IsSepImmMode());
    EXPECT_TRUE(SameRect(R(1, 2, 3, 4), layout.GetInset()));
    EXPECT_EQ(6, layout.GetChildPadding());
    EXPECT_FALSE(layout.IsMouseChildEnabled());
    EXPECT_EQ(0xFF102030u, layout.GetBkColor());
    EXPECT_EQ(36, layout.GetFixedHeight());
    EXPECT_EQ(UINT(UIFLAG_SETCURSOR), layout.GetControlFlags());

    EXPECT_EQ(&layout, layout.GetInterface(L"VerticalLayout"));
    EXPECT_EQ(static_cast<CContainerUI*>(&layout), layout.GetInterface(L"Container"));
    EXPECT_EQ(static_cast<IContainerUI*>(&layout), layout.GetInterface(L"IContainer"));
    EXPECT_EQ(static_cast<CControlUI*>(&layout), layout.GetInterface(L"Control"));
    EXPECT_EQ(nullptr, layout.GetInterface(L"TabLayout"));
    EXPECT_STREQ(L"VerticalLayoutUI", layout.GetClass());
}

TEST_F(TreeTest, DefaultAttributeListsComeFromTheManager)
{
    m_pm.AddDefaultAttributeList(L"Box", L"bkcolor=\"#FF0000FF\" width=\"12\"");
    CControlUI* c = new CControlUI;
    Attach(c);
    c->SetAttribute(L"default", L"Box");
    EXPECT_EQ(0xFF0000FFu, c->GetBkColor());
    EXPECT_EQ(12, c->GetFixedWidth());
    c->SetAttribute(L"default", L"Missing");  // no list: nothing happens
    EXPECT_EQ(12, c->GetFixedWidth());
}

// ---- layout ------------------------------------------------------------

TEST_F(TreeTest, VerticalLayoutSplits101PixelsInto50And51)
{
    auto* root = new CVerticalLayoutUI;
    CControlUI* a = Make<CControlUI>(root);
    CControlUI* b = Make<CControlUI>(root);
    Attach(root);
    root->SetPos(R(0, 0, 40, 101));
    EXPECT_TRUE(SameRect(R(0, 0, 40, 50), a->GetPos()));
    EXPECT_TRUE(SameRect(R(0, 50, 40, 101), b->GetPos()));
}

TEST_F(TreeTest, TitleBarLayoutOfTheMainWindow)
{
    // A 36-pixel bar: an adjustable column and a 300-pixel one holding
    // floating buttons placed by "pos".
    auto* root = new CHorizontalLayoutUI;
    auto* left = Make<CVerticalLayoutUI>(root);
    auto* right = Make<CVerticalLayoutUI>(root, L"width=\"300\"");
    CControlUI* close = Make<CControlUI>(right, L"float=\"true\" pos=\"272,0,0,0\" width=\"28\" height=\"30\"");
    CControlUI* title = Make<CControlUI>(left, L"padding=\"32,0,0,0\" height=\"36\"");
    Attach(root);
    root->SetPos(R(0, 0, 1200, 36));
    EXPECT_TRUE(SameRect(R(0, 0, 900, 36), left->GetPos()));
    EXPECT_TRUE(SameRect(R(900, 0, 1200, 36), right->GetPos()));
    EXPECT_TRUE(SameRect(R(1172, 0, 1200, 30), close->GetPos()));
    EXPECT_TRUE(SameRect(R(32, 0, 900, 36), title->GetPos()));
}

TEST_F(TreeTest, FloatWithNegativeXStaysAnchoredToTheRightEdge)
{
    auto* root = new CContainerUI;
    CControlUI* badge = Make<CControlUI>(root, L"float=\"true\" pos=\"-40,10,-10,30\"");
    Attach(root);
    root->SetPos(R(0, 0, 200, 100));
    EXPECT_TRUE(SameRect(R(160, 10, 190, 30), badge->GetPos()));
    root->SetPos(R(0, 0, 500, 100));
    EXPECT_TRUE(SameRect(R(460, 10, 490, 30), badge->GetPos())) << "still 10 pixels from the right edge";
    EXPECT_EQ(-10, badge->GetFixedXY().cx);
}

TEST_F(TreeTest, RelativePositionsFollowResizes)
{
    auto* root = new CContainerUI;
    // Moves with half of the growth and grows by the other half.
    CControlUI* panel = Make<CControlUI>(root, L"float=\"true\" pos=\"10,10,50,30\" relativepos=\"50,0,50,100\"");
    Attach(root);
    root->SetPos(R(0, 0, 100, 100));
    EXPECT_TRUE(SameRect(R(10, 10, 50, 30), panel->GetPos()));
    root->SetPos(R(0, 0, 200, 160));
    EXPECT_TRUE(SameRect(R(60, 10, 150, 90), panel->GetPos()));
    root->SetPos(R(0, 0, 100, 100));
    EXPECT_TRUE(SameRect(R(10, 10, 50, 30), panel->GetPos())) << "back where it started";
}

TEST_F(TreeTest, MinHeightOverflowShowsTheVerticalScrollBar)
{
    auto* root = new CVerticalLayoutUI;
    root->EnableScrollBar(true, false);
    CControlUI* a = Make<CControlUI>(root);
    CControlUI* b = Make<CControlUI>(root, L"minheight=\"120\"");
    Attach(root);
    root->SetPos(R(0, 0, 50, 100));
    CScrollBarUI* bar = root->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(70, bar->GetScrollRange()) << "content 50 + 120 in 100 pixels";
    EXPECT_TRUE(SameRect(R(39, 0, 50, 100), bar->GetPos()));
    EXPECT_TRUE(SameRect(R(0, 0, 39, 50), a->GetPos())) << "children make room for the bar";
    EXPECT_TRUE(SameRect(R(0, 50, 39, 170), b->GetPos()));

    // Scrolling moves the children; the wheel and keys scroll by lines.
    root->SetScrollPos(SIZE{0, 30});
    EXPECT_EQ(30, root->GetScrollPos().cy);
    EXPECT_TRUE(SameRect(R(0, 20, 39, 140), b->GetPos()));
    root->EndDown();
    EXPECT_EQ(70, root->GetScrollPos().cy);
    EXPECT_TRUE(SameRect(R(0, -70, 39, -20), a->GetPos()));
    TEventUI key;
    key.Type = UIEVENT_KEYDOWN;
    key.chKey = VK_HOME;
    root->Event(key);
    EXPECT_EQ(0, root->GetScrollPos().cy);
    TEventUI wheel;
    wheel.Type = UIEVENT_SCROLLWHEEL;
    wheel.wParam = SB_LINEDOWN;
    root->Event(wheel);
    EXPECT_GT(root->GetScrollPos().cy, 8) << "a line is 8 plus the default font's height";

    // Less content hides the bar again.
    b->SetMinHeight(10);
    root->SetPos(R(0, 0, 50, 100));
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, root->GetScrollPos().cy);
    EXPECT_TRUE(SameRect(R(0, 0, 50, 50), a->GetPos()));
}

TEST_F(TreeTest, InsetAndChildPaddingShapeTheStack)
{
    auto* root = new CHorizontalLayoutUI;
    root->ApplyAttributeList(L"inset=\"5,6,7,8\" childpadding=\"4\"");
    CControlUI* a = Make<CControlUI>(root, L"width=\"20\"");
    CControlUI* b = Make<CControlUI>(root);
    Attach(root);
    root->SetPos(R(0, 0, 100, 50));
    EXPECT_TRUE(SameRect(R(5, 6, 25, 42), a->GetPos()));
    EXPECT_TRUE(SameRect(R(29, 6, 93, 42), b->GetPos()));
}

TEST_F(TreeTest, SetPosNormalisesReversedRectangles)
{
    CControlUI* c = new CControlUI;
    Attach(c);
    c->SetPos(R(50, 40, 10, 20));
    EXPECT_TRUE(SameRect(R(50, 40, 50, 40), c->GetPos()));
}

TEST_F(TreeTest, OnSizeFiresOncePerPlacement)
{
    struct Counter {
        int calls = 0;
        bool OnSize(void*)
        {
            ++calls;
            return true;
        }
    } counter;
    CControlUI* c = new CControlUI;
    c->OnSize += MakeDelegate(&counter, &Counter::OnSize);
    Attach(c);
    c->SetPos(R(0, 0, 10, 10));
    c->SetPos(R(0, 0, 20, 10));
    EXPECT_EQ(2, counter.calls);
}

// ---- separators --------------------------------------------------------

// A drag of the top layout's separator from its edge at 100 up past its
// minimum of 40, painted as the window would paint it after each event:
// layout first, then the tree, then the post-paint controls.
TEST_F(TreeTest, DraggingASeparatorPreviewsTheNewEdgeAndAppliesItOnRelease)
{
    const DWORD kTop = 0x0000FF, kRest = 0x00FF00;
    struct Case {
        bool immediate;
        int heightWhileDragging;
        DWORD at60WhileDragging;  // below the new edge, above the old one
        int postPaintWhileDragging;
    } cases[] = {
        {false, 100, kTop, 1},  // the layout stays; a translucent strip shows the new edge
        {true, 40, kRest, 0},   // the layout follows the mouse
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.immediate ? "immediate" : "preview");
        auto* root = new CVerticalLayoutUI;
        auto* top = Make<CVerticalLayoutUI>(
            root, c.immediate ? L"sepheight=\"4\" height=\"100\" minheight=\"40\" bkcolor=\"#FF0000FF\" sepimm=\"true\""
                              : L"sepheight=\"4\" height=\"100\" minheight=\"40\" bkcolor=\"#FF0000FF\"");
        CControlUI* rest = Make<CControlUI>(root, L"bkcolor=\"#FF00FF00\"");
        Attach(root);
        root->SetPos(R(0, 0, 100, 300));
        ASSERT_TRUE(SameRect(R(0, 0, 100, 100), top->GetPos()));
        EXPECT_TRUE(SameRect(R(0, 96, 100, 100), top->GetThumbRect()));
        Canvas canvas(100, 300);
        auto paint = [&] {
            root->SetPos(root->GetPos());
            root->DoPaint(canvas.dc(), R(0, 0, 100, 300));
            for (int i = 0; i < m_pm.GetPostPaintCount(); ++i) top->DoPostPaint(canvas.dc(), R(0, 0, 100, 300));
        };

        TEventUI e;
        e.Type = UIEVENT_BUTTONDOWN;
        e.ptMouse = POINT{50, 98};
        top->Event(e);
        e.Type = UIEVENT_MOUSEMOVE;
        e.ptMouse = POINT{50, 10};
        top->Event(e);
        EXPECT_TRUE(SameRect(R(0, 36, 100, 40), top->GetThumbRect(true))) << "stops at the minimum";
        EXPECT_EQ(c.postPaintWhileDragging, m_pm.GetPostPaintCount());
        EXPECT_EQ(c.heightWhileDragging, top->GetFixedHeight());
        paint();
        EXPECT_EQ(c.at60WhileDragging, canvas.Rgb(50, 60));
        if (!c.immediate) {
            const DWORD strip = canvas.Rgb(50, 38);
            EXPECT_NE(kTop, strip) << "the preview strip darkens the layout under it";
            EXPECT_LT(strip & 0xFF, 0x80u);
            EXPECT_EQ(kTop, canvas.Rgb(50, 30)) << "nothing else is darkened";
        }

        e.Type = UIEVENT_BUTTONUP;
        top->Event(e);
        EXPECT_EQ(0, m_pm.GetPostPaintCount());
        EXPECT_EQ(40, top->GetFixedHeight());
        paint();
        EXPECT_TRUE(SameRect(R(0, 0, 100, 40), top->GetPos()));
        EXPECT_TRUE(SameRect(R(0, 40, 100, 300), rest->GetPos()));
        EXPECT_EQ(kRest, canvas.Rgb(50, 60));
        EXPECT_EQ(kTop, canvas.Rgb(50, 38)) << "no strip once released";
        delete m_root;
        m_root = nullptr;
    }
}

// ---- visibility and focus ------------------------------------------------

TEST_F(TreeTest, HiddenContainersHideTheirChildren)
{
    auto* root = new CVerticalLayoutUI;
    Attach(root);
    auto* box = Make<CContainerUI>(root);
    CControlUI* inner = Make<CControlUI>(box);
    box->SetVisible(false);
    EXPECT_FALSE(inner->IsVisible());
    CControlUI* late = Make<CControlUI>(box);
    EXPECT_FALSE(late->IsVisible()) << "added to a hidden container";
    box->SetVisible(true);
    EXPECT_TRUE(inner->IsVisible());
    EXPECT_TRUE(late->IsVisible());

    root->SetVisible(false);
    EXPECT_FALSE(inner->IsVisible()) << "hidden by a grandparent";
}

TEST_F(TreeTest, HidingTheFocusedControlClearsTheFocus)
{
    auto* root = new CVerticalLayoutUI;
    CControlUI* field = Make<CControlUI>(root);
    CControlUI* other = Make<CControlUI>(root);
    Attach(root);
    root->SetPos(R(0, 0, 10, 10));
    m_pm.SetFocus(field);
    ASSERT_EQ(field, m_pm.GetFocus());
    field->SetVisible(false);
    EXPECT_EQ(nullptr, m_pm.GetFocus());

    m_pm.SetFocus(other);
    ASSERT_EQ(other, m_pm.GetFocus());
    root->SetVisible(false);  // hidden through its parent
    EXPECT_EQ(nullptr, m_pm.GetFocus());
}

// ---- hit testing -------------------------------------------------------

CControlUI* CALLBACK FindAny(CControlUI* control, LPVOID) { return control; }

CControlUI* HitTest(CControlUI* root, int x, int y)
{
    POINT pt = {x, y};
    return root->FindControl(FindAny, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

TEST_F(TreeTest, HitTestingFindsTheTopmostControlUnderThePoint)
{
    auto* root = new CContainerUI;
    root->SetInset(R(10, 10, 10, 10));
    CControlUI* below = Make<CControlUI>(root);
    CControlUI* above = Make<CControlUI>(root, L"float=\"true\" pos=\"0,0,30,30\"");
    CControlUI* hidden = Make<CControlUI>(root, L"float=\"true\" pos=\"50,50,100,100\" visible=\"false\"");
    CControlUI* deaf = Make<CControlUI>(root, L"float=\"true\" pos=\"60,0,100,40\" mouse=\"false\"");
    Attach(root);
    root->SetPos(R(0, 0, 100, 100));

    EXPECT_EQ(above, HitTest(root, 15, 15)) << "the later sibling lies on top";
    EXPECT_EQ(above, HitTest(root, 5, 5)) << "a floating child is found over the inset";
    EXPECT_EQ(below, HitTest(root, 40, 40));
    EXPECT_EQ(below, HitTest(root, 70, 70)) << "hidden controls are not found";
    EXPECT_EQ(below, HitTest(root, 70, 20)) << "mouse-disabled controls are not found";
    EXPECT_EQ(root, HitTest(root, 95, 95)) << "the inset belongs to the container";
    EXPECT_EQ(nullptr, HitTest(root, 150, 50));

    POINT pt = {15, 15};
    EXPECT_EQ(below, root->FindControl(FindAny, &pt, UIFIND_VISIBLE | UIFIND_HITTEST)) << "first to last";
    EXPECT_EQ(root, root->FindControl(FindAny, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_ME_FIRST));
    root->SetMouseChildEnabled(false);
    EXPECT_EQ(root, HitTest(root, 15, 15));
    (void)hidden;
    (void)deaf;
}

TEST_F(TreeTest, RandomControlsAreHitOnlyOnOpaquePixels)
{
    // Left half opaque red, right half transparent.
    HBITMAP bitmap = MakeBitmap(20, 10, [](int x, int) { return x < 10 ? DWORD(0xFFFF0000) : DWORD(0); });
    ASSERT_NE(nullptr, m_pm.AddImage(L"half.png", bitmap, 20, 10, true));
    CControlUI* shape = new CControlUI;
    shape->ApplyAttributeList(L"bkimage=\"half.png\" random=\"true\"");
    Attach(shape);
    shape->SetPos(R(100, 50, 120, 60));
    Canvas canvas(200, 100);
    shape->DoPaint(canvas.dc(), R(0, 0, 200, 100));
    EXPECT_EQ(shape, HitTest(shape, 105, 55));
    EXPECT_EQ(nullptr, HitTest(shape, 115, 55)) << "transparent pixel";

    HRGN region = shape->GetRegion(bitmap, 0, 0, 0, 0);
    ASSERT_NE(nullptr, region);
    RECT box;
    ::GetRgnBox(region, &box);
    EXPECT_TRUE(SameRect(R(0, 0, 10, 10), box));
    ::DeleteObject(region);
    EXPECT_EQ(nullptr, shape->GetRegion(HBITMAP(nullptr), 0, 0, 0, 0));
}

// ---- tabs ----------------------------------------------------------------

TEST_F(TreeTest, TabLayoutShowsTheFirstVisibleChildAndSelects)
{
    auto* tabs = new CTabLayoutUI;
    CControlUI* loading = Make<CControlUI>(tabs);
    CControlUI* browser = Make<CControlUI>(tabs);
    CControlUI* third = Make<CControlUI>(tabs);
    Attach(tabs);
    tabs->SetPos(R(0, 0, 300, 200));
    EXPECT_EQ(0, tabs->GetCurSel());
    EXPECT_TRUE(loading->IsVisible());
    EXPECT_FALSE(browser->IsVisible());
    EXPECT_TRUE(SameRect(R(0, 0, 300, 200), loading->GetPos()));

    EXPECT_TRUE(tabs->SelectItem(1));
    EXPECT_FALSE(loading->IsVisible());
    EXPECT_TRUE(browser->IsVisible());
    tabs->SetPos(tabs->GetPos());
    EXPECT_TRUE(SameRect(R(0, 0, 300, 200), browser->GetPos()));

    tabs->SetAttribute(L"selectedid", L"7");
    EXPECT_EQ(1, tabs->GetCurSel()) << "out of range leaves the selection";
    EXPECT_FALSE(tabs->SelectItem(-1));

    // Inserting before the selection keeps the same child selected.
    CControlUI* inserted = new CControlUI;
    EXPECT_TRUE(tabs->AddAt(inserted, 0));
    EXPECT_EQ(2, tabs->GetCurSel());
    EXPECT_FALSE(inserted->IsVisible());

    // Removing the selected child selects the first and shows it.
    tabs->SetDelayedDestroy(false);
    EXPECT_TRUE(tabs->Remove(browser));
    EXPECT_EQ(0, tabs->GetCurSel());
    EXPECT_TRUE(inserted->IsVisible());
    EXPECT_TRUE(tabs->Remove(loading));
    EXPECT_EQ(0, tabs->GetCurSel());
    EXPECT_TRUE(tabs->Remove(third));
    EXPECT_TRUE(tabs->Remove(inserted));
    EXPECT_EQ(-1, tabs->GetCurSel());
}

// ---- ownership -----------------------------------------------------------

struct DestroyLog {
    std::string log;
    bool OnDestroy(void* control)
    {
        log += static_cast<CControlUI*>(control)->GetName().GetData()[0];
        return true;
    }
};

CControlUI* Named(CContainerUI* parent, const wchar_t* name, DestroyLog& log)
{
    CControlUI* c = new CControlUI;
    c->SetName(name);
    c->OnDestroy += MakeDelegate(&log, &DestroyLog::OnDestroy);
    parent->Add(c);
    return c;
}

TEST(ContainerOwnership, RemovedChildrenAreDeletedAtOnceWithoutAManager)
{
    DestroyLog log;
    {
        CContainerUI box;
        CControlUI* a = Named(&box, L"a", log);
        Named(&box, L"b", log);
        CControlUI* kept = Named(&box, L"k", log);
        EXPECT_FALSE(box.Remove(nullptr));
        EXPECT_TRUE(box.Remove(a));
        EXPECT_EQ("a", log.log);
        EXPECT_FALSE(box.Remove(a)) << "no longer a child";
        box.SetAutoDestroy(false);
        EXPECT_TRUE(box.Remove(kept));
        EXPECT_EQ("a", log.log) << "without auto destroy the caller owns it";
        box.SetAutoDestroy(true);
        delete kept;
        EXPECT_EQ("ak", log.log);
    }
    EXPECT_EQ("akb", log.log) << "the container deletes the rest";
}

TEST_F(TreeTest, WithAManagerRemovedChildrenWaitForTheDelayedCleanup)
{
    static DestroyLog log;  // the manager may delete the child after this body
    auto* root = new CContainerUI;
    CControlUI* child = Named(root, L"c", log);
    Attach(root);
    EXPECT_TRUE(root->Remove(child));
    EXPECT_EQ("", log.log) << "still alive: it may be inside its own event";
    EXPECT_EQ(0, root->GetCount());
}

TEST(ContainerOwnership, ItemOrderAndIndices)
{
    CContainerUI box;
    CControlUI* a = new CControlUI;
    CControlUI* b = new CControlUI;
    CControlUI* c = new CControlUI;
    EXPECT_FALSE(box.Add(nullptr));
    box.Add(a);
    box.Add(b);
    EXPECT_TRUE(box.AddAt(c, 0));
    EXPECT_EQ(c, box.GetItemAt(0));
    EXPECT_EQ(nullptr, box.GetItemAt(3));
    EXPECT_EQ(2, box.GetItemIndex(b));
    EXPECT_TRUE(box.SetItemIndex(b, 0));
    EXPECT_EQ(b, box.GetItemAt(0));
    EXPECT_FALSE(box.SetItemIndex(nullptr, 0));
    EXPECT_TRUE(box.RemoveAt(0));
    EXPECT_FALSE(box.RemoveAt(5));
    EXPECT_EQ(2, box.GetCount());
    EXPECT_EQ(-1, box.FindSelectable(0)) << "no list items";
}

// ---- events --------------------------------------------------------------

TEST(ControlEvents, OnEventCanSwallowAndUnhandledEventsBubbleUp)
{
    CPaintManagerUI pm;  // outlives the tree
    struct Spy : CContainerUI {
        int seen = 0;
        void DoEvent(TEventUI& e) override
        {
            if (e.Type == UIEVENT_BUTTONDOWN) ++seen;
            CContainerUI::DoEvent(e);
        }
    } parent;
    CControlUI* child = new CControlUI;
    parent.Add(child);
    parent.SetManager(&pm, nullptr, true);  // attaching sets the parents
    TEventUI e;
    e.Type = UIEVENT_BUTTONDOWN;
    child->Event(e);
    EXPECT_EQ(1, parent.seen) << "the base control passes what it does not handle to its parent";

    child->OnEvent += [](void*) { return false; };
    child->Event(e);
    EXPECT_EQ(1, parent.seen) << "swallowed by the delegate";

    e.Type = UIEVENT_SETFOCUS;
    child->DoEvent(e);
    EXPECT_TRUE(child->IsFocused());
}

// ---- painting ------------------------------------------------------------

TEST_F(TreeTest, PaintsColoursImagesAndBordersInOrder)
{
    HBITMAP icon = MakeBitmap(4, 4, [](int, int) { return DWORD(0xFF00FF00); });
    ASSERT_NE(nullptr, m_pm.AddImage(L"green.png", icon, 4, 4, false));
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    auto* bar = Make<CHorizontalLayoutUI>(root, L"height=\"20\" bkcolor=\"#FF251F29\"");
    Make<CControlUI>(bar, L"width=\"10\" bkcolor=\"#FFFF0000\"");
    Make<CControlUI>(bar, L"width=\"10\" bkimage=\"file='green.png' dest='2,2,6,6'\"");
    Make<CControlUI>(root, L"height=\"1\" bkcolor=\"#FF3e3e3e\"");
    Make<CControlUI>(root, L"height=\"10\" bordercolor=\"#FF0000FF\" bordersize=\"1,0,1,0\"");
    Attach(root);
    root->SetPos(R(0, 0, 40, 40));

    Canvas canvas(40, 40, 0xFF808080);
    root->DoPaint(canvas.dc(), R(0, 0, 40, 40));
    EXPECT_EQ(0xFF0000u, canvas.Rgb(5, 5));
    EXPECT_EQ(0x251F29u, canvas.Rgb(11, 1)) << "the bar's colour around the image";
    EXPECT_EQ(0x00FF00u, canvas.Rgb(13, 3)) << "the image at its dest";
    EXPECT_EQ(0x251F29u, canvas.Rgb(30, 10));
    EXPECT_EQ(0x3E3E3Eu, canvas.Rgb(20, 20)) << "the one-pixel separator";
    EXPECT_EQ(0x0000FFu, canvas.Rgb(0, 25)) << "left border line";
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(20, 21)) << "no top border";
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(20, 35));
}

TEST_F(TreeTest, TranslucentBackgroundsCoverTheWholeControlOpaqueOnesThePaintArea)
{
    CControlUI* c = new CControlUI;
    Attach(c);
    c->SetPos(R(0, 0, 20, 20));
    const RECT partial = R(0, 0, 10, 20);

    // A plain control does not clip, so the canvas shows what it filled.
    c->SetBkColor(0xFFFF0000);
    Canvas opaque(20, 20, 0xFF000000);
    c->DoPaint(opaque.dc(), partial);
    EXPECT_EQ(0xFF0000u, opaque.Rgb(5, 5));
    EXPECT_EQ(0u, opaque.Rgb(15, 5));

    // Blending only the paint area would leave seams of different strength
    // between partial repaints.
    c->SetBkColor(0x80FF0000);
    Canvas translucent(20, 20, 0xFF000000);
    c->DoPaint(translucent.dc(), partial);
    EXPECT_EQ(0x800000u, translucent.Rgb(5, 5) & 0xF00000);
    EXPECT_EQ(0x800000u, translucent.Rgb(15, 5) & 0xF00000);
}

TEST_F(TreeTest, NothingIsPaintedOutsideThePaintRectangleOrWhenDrawingIsOff)
{
    auto* root = new CVerticalLayoutUI;
    Make<CControlUI>(root, L"bkcolor=\"#FFFF0000\"");
    Attach(root);
    root->SetPos(R(0, 0, 30, 30));
    Canvas canvas(30, 30, 0xFF000000);
    root->DoPaint(canvas.dc(), R(10, 10, 20, 20));
    EXPECT_TRUE(SameRect(R(10, 10, 20, 20), canvas.Changed(0xFF000000)));

    Canvas off(30, 30, 0xFF000000);
    root->SetCanDraw(false);
    root->DoPaint(off.dc(), R(0, 0, 30, 30));
    EXPECT_EQ(30 * 30, off.Count(0));
}

TEST_F(TreeTest, GenerateBitmapPaintsAControlIntoANewBitmap)
{
    auto* root = new CHorizontalLayoutUI;
    Make<CControlUI>(root, L"bkcolor=\"#FFFF0000\"");
    Make<CControlUI>(root, L"bkcolor=\"#FF0000FF\"");
    Attach(root);
    root->SetPos(R(0, 0, 40, 10));
    HBITMAP bitmap = CRenderEngine::GenerateBitmap(&m_pm, root, R(10, 0, 30, 10));
    ASSERT_NE(nullptr, bitmap);
    BITMAP info = {};
    ::GetObject(bitmap, sizeof(info), &info);
    EXPECT_EQ(20, info.bmWidth);
    EXPECT_EQ(10, info.bmHeight);
    ASSERT_NE(nullptr, info.bmBits);
    const DWORD* bits = static_cast<const DWORD*>(info.bmBits);
    EXPECT_EQ(0xFF0000u, bits[0] & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, bits[15] & 0xFFFFFF);
    ::DeleteObject(bitmap);
    EXPECT_EQ(nullptr, CRenderEngine::GenerateBitmap(&m_pm, root, R(10, 0, 10, 10)));
}

// ---- bad input -------------------------------------------------------------

TEST_F(TreeTest, ThousandsOfNestedContainersLayOutPaintAndGo)
{
    auto* root = new CVerticalLayoutUI;
    CContainerUI* parent = root;
    for (int depth = 0; depth < 2000; ++depth) {
        auto* next = depth % 2 ? static_cast<CContainerUI*>(new CHorizontalLayoutUI) : new CVerticalLayoutUI;
        next->SetAttribute(L"inset", L"0,0,0,0");
        parent->Add(next);
        parent = next;
    }
    CControlUI* leaf = Make<CControlUI>(parent, L"bkcolor=\"#FF00FF00\"");
    Attach(root);
    root->SetPos(R(0, 0, 64, 64));
    EXPECT_TRUE(SameRect(R(0, 0, 64, 64), leaf->GetPos()));
    Canvas canvas(64, 64, 0xFF000000);
    root->DoPaint(canvas.dc(), R(0, 0, 64, 64));
    EXPECT_EQ(0x00FF00u, canvas.Rgb(32, 32));
    EXPECT_EQ(leaf, HitTest(root, 10, 10));
}

TEST_F(TreeTest, MalformedAttributesFallBackQuietly)
{
    auto* root = new CVerticalLayoutUI;
    CControlUI* c = Make<CControlUI>(root);
    c->ApplyAttributeList(
        L"width=\"-20\" height=\"99999999999\" minwidth=\"abc\" bkcolor=\"#F\" pos=\"1,2\" padding=\"\" "
        L"bordersize=\",,,\" borderround=\"-5\" inset=\"1\" maxwidth=\"-1\" tooltip=\"<n><n\" shortcut=\"\"");
    EXPECT_EQ(0, c->GetFixedWidth()) << "negative sizes are ignored";
    EXPECT_EQ(0x7FFFFFFF, c->GetFixedHeight()) << "saturated";
    EXPECT_EQ(0x0000000Fu, c->GetBkColor());
    EXPECT_EQ(9999, c->GetMaxWidth());
    EXPECT_EQ(0, c->GetShortcut());
    Attach(root);
    root->SetPos(R(0, 0, 100, 100));  // a saturated height lays out without overflow
    Canvas canvas(100, 100);
    root->DoPaint(canvas.dc(), R(0, 0, 100, 100));
    // A list broken in the middle applies what came before the break.
    c->ApplyAttributeList(L"text=\"ok\" name=broken text=\"no\"");
    EXPECT_EQ(CUiString(L"ok"), c->GetText().GetData());
}

// ---- groups -------------------------------------------------------------

TEST(PaintManagerGroups, OptionAndHotKeyGroupsHoldEachControlOnce)
{
    CPaintManagerUI pm;
    CControlUI first;
    CControlUI second;
    auto* a = &first;
    auto* b = &second;
    for (int kind = 0; kind < 2; ++kind) {
        auto add = [&](CControlUI* c) { return kind ? pm.AddHotKeyGroup(L"g", c) : pm.AddOptionGroup(L"g", c); };
        auto get = [&]() { return kind ? pm.GetHotKeyGroup(L"g") : pm.GetOptionGroup(L"g"); };
        auto remove = [&](CControlUI* c) { kind ? pm.RemoveHotKeyGroup(L"g", c) : pm.RemoveOptionGroup(L"g", c); };
        EXPECT_EQ(nullptr, get());
        EXPECT_TRUE(add(a));
        EXPECT_TRUE(add(b));
        EXPECT_FALSE(add(a));
        ASSERT_TRUE(get());
        EXPECT_EQ(2, get()->GetSize());
        remove(a);
        EXPECT_EQ(b, get()->GetAt(0));
        remove(b);
        EXPECT_EQ(nullptr, get()) << "an emptied group is deleted";
        add(a);
    }
    pm.RemoveAllOptionGroups();
    pm.RemoveAllHotKeyGroups();
    EXPECT_EQ(nullptr, pm.GetOptionGroup(L"g"));
}

// Groups, timers and the post-paint list hold controls weakly: a control
// that dies leaves them even when the manager that holds it is not its own
// (never attached here, so no manager is told of its death).
TEST(PaintManagerGroups, AMemberThatDiesLeavesEveryListWhoeverHoldsIt)
{
    CPaintManagerUI pm;
    CControlUI kept;
    auto* dying = new CControlUI;
    ASSERT_TRUE(pm.AddOptionGroup(L"g", dying));
    ASSERT_TRUE(pm.AddOptionGroup(L"g", &kept));
    ASSERT_TRUE(pm.AddHotKeyGroup(L"h", dying));
    ASSERT_TRUE(pm.AddPostPaint(dying));
    ASSERT_TRUE(pm.AddPostPaint(&kept));
    delete dying;

    CStdPtrArray* group = pm.GetOptionGroup(L"g");
    ASSERT_NE(nullptr, group);
    ASSERT_EQ(1, group->GetSize());
    EXPECT_EQ(&kept, group->GetAt(0));
    EXPECT_EQ(nullptr, pm.GetHotKeyGroup(L"h")) << "a group whose only member died is gone";
    EXPECT_EQ(1, pm.GetPostPaintCount());
    EXPECT_TRUE(pm.SetPostPaintIndex(&kept, 0)) << "indexes count the living only";
    EXPECT_FALSE(pm.SetPostPaintIndex(&kept, 2));
}

}  // namespace
}  // namespace SkinUI
