// The scroll bar as a control: stepping, auto-repeat counted in timer ticks,
// dragging, the "scroll" report of a bar without owner, its images, and a
// container that scrolls its content with it in a real window.
#include "tests/ui/controls/WidgetTestSupport.h"
#include "tests/ui/render/Canvas.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/controls/ScrollBarUI.h"

#include <gtest/gtest.h>

#include <memory>

namespace SkinUI {
namespace {

using Test::Send;

// A 100-pixel vertical bar without owner at (0,0): buttons 0..11 and
// 89..100, a 39-pixel thumb.
class OwnerlessBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = new CVerticalLayoutUI;
        m_root->SetManager(&m_pm, nullptr, true);
        m_pm.AddNotifier(&m_log);
        m_bar = new CScrollBarUI;
        m_root->Add(m_bar);
        m_bar->SetPos(RECT{0, 0, 11, 100});
    }
    void TearDown() override
    {
        m_pm.RemoveNotifier(&m_log);
        delete m_root;
    }
    void Tick() { Send(*m_bar, UIEVENT_TIMER, POINT{0, 0}, CScrollBarUI::kRepeatTimerId); }

    CPaintManagerUI m_pm;
    ::SkinUI::Test::NotifyLog m_log;
    CVerticalLayoutUI* m_root = nullptr;
    CScrollBarUI* m_bar = nullptr;
};

TEST_F(OwnerlessBarTest, HeldButtonRepeatsAfterFiveTicksThenEveryTick)
{
    Send(*m_bar, UIEVENT_BUTTONDOWN, POINT{5, 95});
    EXPECT_EQ(8, m_bar->GetScrollPos()) << "one line at the press";
    EXPECT_EQ(1, m_log.Count(L"scroll"));
    for (int tick = 1; tick <= 5; ++tick) {
        Tick();
        EXPECT_EQ(8, m_bar->GetScrollPos()) << "tick " << tick << " is inside the first 250 ms";
    }
    Tick();
    EXPECT_EQ(16, m_bar->GetScrollPos()) << "the sixth tick repeats";
    Tick();
    EXPECT_EQ(24, m_bar->GetScrollPos()) << "and every tick after it";
    EXPECT_EQ(3, m_log.Count(L"scroll"));
    Send(*m_bar, UIEVENT_BUTTONUP, POINT{5, 95});
    EXPECT_EQ(0u, m_bar->GetButton2State() & UISTATE_PUSHED);

    // Button 1 the same way back.
    Send(*m_bar, UIEVENT_BUTTONDOWN, POINT{5, 5});
    EXPECT_EQ(16, m_bar->GetScrollPos());
    for (int tick = 0; tick < 6; ++tick) Tick();
    EXPECT_EQ(8, m_bar->GetScrollPos());
    Send(*m_bar, UIEVENT_BUTTONUP, POINT{5, 5});
}

TEST_F(OwnerlessBarTest, StepsStopAtTheEndsOfTheRange)
{
    m_bar->SetScrollPos(95);
    Send(*m_bar, UIEVENT_BUTTONDOWN, POINT{5, 95});
    EXPECT_EQ(100, m_bar->GetScrollPos()) << "95 + 8 stops at the range";
    EXPECT_EQ(1, m_log.Count(L"scroll"));
    Send(*m_bar, UIEVENT_BUTTONUP, POINT{5, 95});

    m_bar->SetScrollPos(-5);
    EXPECT_EQ(0, m_bar->GetScrollPos());
    m_bar->SetScrollRange(-3);
    EXPECT_EQ(0, m_bar->GetScrollRange()) << "never negative";
    EXPECT_EQ(11, m_bar->GetThumbRect().top) << "range 0: the thumb fills the track";
    EXPECT_EQ(89, m_bar->GetThumbRect().bottom);
}

TEST_F(OwnerlessBarTest, TrackClicksPageTowardsThePoint)
{
    m_bar->SetScrollPos(50);  // thumb 30..69
    Send(*m_bar, UIEVENT_BUTTONDOWN, POINT{5, 80});
    EXPECT_EQ(100, m_bar->GetScrollPos()) << "after the thumb: a page (the bar's height) forward";
    Send(*m_bar, UIEVENT_BUTTONUP, POINT{5, 80});
    Send(*m_bar, UIEVENT_BUTTONDOWN, POINT{5, 15});
    EXPECT_EQ(0, m_bar->GetScrollPos()) << "before the thumb: a page back";
    Send(*m_bar, UIEVENT_BUTTONUP, POINT{5, 15});
}

TEST_F(OwnerlessBarTest, DraggingTheThumbByItsTravelMovesTheWholeRange)
{
    const RECT thumb = m_bar->GetThumbRect();
    ASSERT_EQ(39, thumb.bottom - thumb.top);
    Send(*m_bar, UIEVENT_BUTTONDOWN, POINT{5, 20});
    EXPECT_EQ(UISTATE_PUSHED | UISTATE_CAPTURED, m_bar->GetThumbState() & (UISTATE_PUSHED | UISTATE_CAPTURED));
    Send(*m_bar, UIEVENT_MOUSEMOVE, POINT{5, 20 + 39});  // 100 - 2*11 - 39 pixels
    EXPECT_EQ(0, m_bar->GetScrollPos()) << "the timer applies the drag";
    Tick();
    EXPECT_EQ(100, m_bar->GetScrollPos());
    Send(*m_bar, UIEVENT_MOUSEMOVE, POINT{5, 300});  // far outside the bar
    Tick();
    EXPECT_EQ(100, m_bar->GetScrollPos()) << "clamped to the range";
    Send(*m_bar, UIEVENT_MOUSEMOVE, POINT{5, 20 + 10});
    Send(*m_bar, UIEVENT_BUTTONUP, POINT{5, 30});
    EXPECT_EQ(25, m_bar->GetScrollPos()) << "a release before the next tick still lands where the thumb was dropped";
    EXPECT_EQ(0u, m_bar->GetThumbState() & (UISTATE_PUSHED | UISTATE_CAPTURED));
    EXPECT_GE(m_log.Count(L"scroll"), 3);
}

TEST_F(OwnerlessBarTest, DisabledBarIgnoresPresses)
{
    m_bar->SetEnabled(false);
    Send(*m_bar, UIEVENT_BUTTONDOWN, POINT{5, 95});
    EXPECT_EQ(0, m_bar->GetScrollPos());
    EXPECT_EQ(0u, m_bar->GetButton2State());
    EXPECT_EQ(0, m_log.Count(L"scroll"));
}

TEST(ScrollBarAttributes, HorizontalAndButtons)
{
    CScrollBarUI bar;
    EXPECT_EQ(11, bar.GetFixedWidth());
    bar.SetAttribute(L"hor", L"true");
    EXPECT_EQ(0, bar.GetFixedWidth());
    EXPECT_EQ(11, bar.GetFixedHeight());
    bar.ApplyAttributeList(L"range=\"50\" value=\"80\" linesize=\"3\" showbutton1=\"false\" "
                           L"thumbhotimage=\"file='scroll.png' source='1,26,12,37'\"");
    EXPECT_EQ(50, bar.GetScrollRange());
    EXPECT_EQ(50, bar.GetScrollPos());
    EXPECT_EQ(3, bar.GetLineSize());
    EXPECT_FALSE(bar.GetShowButton1());
    EXPECT_STREQ(L"file='scroll.png' source='1,26,12,37'", bar.GetThumbHotImage());
    bar.SetAttribute(L"thumbhotimagex", L"ignored");
    EXPECT_STREQ(L"", bar.GetThumbNormalImage());
}

TEST_F(OwnerlessBarTest, PartsWithoutImagesAreOutlined)
{
    ::SkinUI::Test::Canvas canvas(11, 100);
    m_bar->SetScrollPos(50);
    m_bar->SetThumbNormalImage(L"not-in-the-skin.png");
    m_bar->DoPaint(canvas.dc(), m_bar->GetPos());
    EXPECT_EQ(0x85E4FFu, canvas.Rgb(0, 5)) << "button 1 outline";
    EXPECT_EQ(0x85E4FFu, canvas.Rgb(0, 95)) << "button 2 outline";
    EXPECT_EQ(0x85E4FFu, canvas.Rgb(0, 40)) << "thumb outline";
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(5, 20)) << "inside the track nothing";
    EXPECT_STREQ(L"", m_bar->GetThumbNormalImage()) << "a missing image is not tried again";

    HBITMAP bmp = ::SkinUI::Test::MakeBitmap(4, 4, [](int, int) { return 0xFF203040u; });
    ASSERT_NE(nullptr, m_pm.AddImage(L"thumb", bmp, 4, 4, false));
    m_bar->SetThumbNormalImage(L"thumb");
    canvas.Fill(0xFFFFFFFF);
    m_bar->DoPaint(canvas.dc(), m_bar->GetPos());
    EXPECT_EQ(0x203040u, canvas.Rgb(0, 40)) << "the thumb image fills the thumb";
    EXPECT_EQ(0x203040u, canvas.Rgb(5, 31));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(5, 28)) << "and stays inside it";
}

// A 200x100 layout holding ten 30-pixel stripes of different colours: 300
// pixels of content, so a vertical bar with range 200.
class ScrollingContainerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_layout = new CVerticalLayoutUI;
        m_layout->SetAttribute(L"vscrollbar", L"true");
        for (int i = 0; i < 10; ++i) {
            auto* stripe = new CControlUI;
            stripe->SetFixedHeight(30);
            stripe->SetBkColor(StripeColour(i));
            m_layout->Add(stripe);
        }
        m_window.reset(new ::SkinUI::Test::TestWindow(200, 100, m_layout));
        m_window->Settle();
    }
    static DWORD StripeColour(int i) { return 0xFF000000u | ((i * 25) << 16) | 0x40 | ((255 - i * 25) << 8); }
    // Which stripe shows at the top-left corner of the window.
    int TopStripe() const
    {
        m_window->Settle();
        const DWORD pixel = m_window->PixelAt(5, 0);
        for (int i = 0; i < 10; ++i)
            if ((StripeColour(i) & 0xFFFFFF) == pixel) return i;
        return -1;
    }
    int Pos() const { return m_layout->GetScrollPos().cy; }
    bool WaitForPos(const std::function<bool(int)>& ok)
    {
        return m_window->PumpUntil([&] { return ok(Pos()); }, 3000);
    }

    CVerticalLayoutUI* m_layout = nullptr;
    std::unique_ptr<::SkinUI::Test::TestWindow> m_window;
};

TEST_F(ScrollingContainerTest, WheelButtonsTrackAndThumbMoveTheContent)
{
    CScrollBarUI* bar = m_layout->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(200, bar->GetScrollRange());
    EXPECT_EQ(189, bar->GetPos().left) << "along the right edge";
    EXPECT_EQ(0, TopStripe());

    m_window->Wheel(50, 50, -WHEEL_DELTA);
    EXPECT_GT(Pos(), 0) << "the wheel scrolls down";
    const int afterWheel = Pos();
    EXPECT_EQ(afterWheel / 30, TopStripe());

    m_window->Mouse(WM_MOUSEMOVE, 194, 95);
    m_window->Mouse(WM_LBUTTONDOWN, 194, 95, MK_LBUTTON);
    m_window->Mouse(WM_LBUTTONUP, 194, 95);
    EXPECT_GT(Pos(), afterWheel) << "button 2 scrolls down";
    const int afterButton = Pos();

    m_window->Mouse(WM_MOUSEMOVE, 194, 5);
    m_window->Mouse(WM_LBUTTONDOWN, 194, 5, MK_LBUTTON);
    m_window->Mouse(WM_LBUTTONUP, 194, 5);
    EXPECT_LT(Pos(), afterButton) << "button 1 scrolls up";

    const int beforePage = Pos();
    m_window->Mouse(WM_MOUSEMOVE, 194, 85);
    m_window->Mouse(WM_LBUTTONDOWN, 194, 85, MK_LBUTTON);
    m_window->Mouse(WM_LBUTTONUP, 194, 85);
    EXPECT_EQ(beforePage + 100, Pos()) << "a click on the track below the thumb pages down by the view's height";
    EXPECT_EQ(Pos() / 30, TopStripe());

    // Drag the thumb back to the top, as a person would: press, move, and
    // hold until the drag timer has moved the content.
    const RECT thumb = bar->GetThumbRect();
    const int grabY = (thumb.top + thumb.bottom) / 2;
    m_window->Mouse(WM_MOUSEMOVE, 194, grabY);
    m_window->Mouse(WM_LBUTTONDOWN, 194, grabY, MK_LBUTTON);
    m_window->Mouse(WM_MOUSEMOVE, 194, grabY - 200, MK_LBUTTON);
    EXPECT_TRUE(WaitForPos([](int pos) { return pos == 0; })) << "the thumb drag reaches the top, at " << Pos();
    m_window->Mouse(WM_LBUTTONUP, 194, grabY - 200);
    EXPECT_EQ(0, TopStripe());
}

}  // namespace
}  // namespace SkinUI
