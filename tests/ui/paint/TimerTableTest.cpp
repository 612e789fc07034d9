#include "ui/paint/TimerTable.h"

#include <gtest/gtest.h>

using namespace SkinUI;

namespace {

// Timers need a window; a message-only one is enough.
class TimerTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override
    {
        if (::IsWindow(m_window)) ::DestroyWindow(m_window);
    }

    // Stands for a control: the table never looks behind the pointer, it
    // only keeps the control's weak reference.
    struct FakeControl {
        WeakAnchor anchor;
    };
    struct FakeRef {
        CControlUI* pointer;
        ControlRef ref;
        operator CControlUI*() const { return pointer; }
        operator const ControlRef&() const { return ref; }
    };
    FakeRef Control(int n)
    {
        auto* pointer = reinterpret_cast<CControlUI*>(&m_fakes[n]);
        return FakeRef{pointer, ControlRef(pointer, m_fakes[n].anchor)};
    }

    UINT WindowIdOf(const TimerTable& table, CControlUI* control, UINT localId)
    {
        for (UINT id = 0; id < 255; ++id) {
            TimerTable::Timer timer;
            if (table.FindRunning(m_window, id, timer) && timer.control.Get() == control && timer.localId == localId)
                return id;
        }
        return 0xFFFF;
    }

    // True when the system timer `id` of the window was still running (the
    // call stops it).
    bool SystemTimerRunning(UINT id) { return ::KillTimer(m_window, id) != FALSE; }

    HWND m_window = nullptr;
    FakeControl m_fakes[301];
};

TEST_F(TimerTableTest, WindowIdsStartAt17AndWrapFrom254To0)
{
    TimerTable table;
    ASSERT_TRUE(table.Set(m_window, Control(1), 1, 1000));
    ASSERT_TRUE(table.Set(m_window, Control(1), 2, 1000));
    EXPECT_EQ(WindowIdOf(table, Control(1), 1), 17u);
    EXPECT_EQ(WindowIdOf(table, Control(1), 2), 18u);
    for (UINT local = 3; local <= 238; ++local) ASSERT_TRUE(table.Set(m_window, Control(1), local, 1000));
    EXPECT_EQ(WindowIdOf(table, Control(1), 238), 254u);
    ASSERT_TRUE(table.Set(m_window, Control(1), 239, 1000));
    EXPECT_EQ(WindowIdOf(table, Control(1), 239), 0u);
}

TEST_F(TimerTableTest, RunningTimerCannotBeSetTwiceAndAKilledOneRestartsWithItsId)
{
    TimerTable table;
    ASSERT_TRUE(table.Set(m_window, Control(1), 7, 1000));
    ASSERT_TRUE(table.Set(m_window, Control(2), 7, 1000));
    EXPECT_FALSE(table.Set(m_window, Control(1), 7, 1000));

    EXPECT_TRUE(table.Kill(m_window, Control(1), 7));
    EXPECT_FALSE(table.Kill(m_window, Control(1), 7)) << "already stopped";
    EXPECT_FALSE(SystemTimerRunning(17));
    TimerTable::Timer found;
    EXPECT_FALSE(table.FindRunning(m_window, 17, found)) << "a killed timer gets no ticks";

    ASSERT_TRUE(table.Set(m_window, Control(1), 7, 500));
    EXPECT_EQ(WindowIdOf(table, Control(1), 7), 17u);
    ASSERT_TRUE(table.Set(m_window, Control(3), 1, 500));
    EXPECT_EQ(WindowIdOf(table, Control(3), 1), 19u) << "the counter was not used by the restart";
}

TEST_F(TimerTableTest, KillAllForgetsTheControlAndRemoveAllStopsEverySystemTimer)
{
    TimerTable table;
    ASSERT_TRUE(table.Set(m_window, Control(1), 1, 1000));  // 17
    ASSERT_TRUE(table.Set(m_window, Control(1), 2, 1000));  // 18
    ASSERT_TRUE(table.Set(m_window, Control(2), 1, 1000));  // 19
    ASSERT_TRUE(table.Kill(m_window, Control(1), 2));

    table.KillAll(Control(1));
    EXPECT_FALSE(SystemTimerRunning(17));
    ASSERT_TRUE(table.Set(m_window, Control(1), 1, 1000));
    EXPECT_EQ(WindowIdOf(table, Control(1), 1), 20u) << "forgotten records give no id back";

    table.RemoveAll(m_window);
    EXPECT_FALSE(SystemTimerRunning(19));
    EXPECT_FALSE(SystemTimerRunning(20));
    EXPECT_EQ(WindowIdOf(table, Control(2), 1), 0xFFFFu);
}

TEST_F(TimerTableTest, IdsHeldByOtherRecordsAreSkippedAndAFullWindowRefuses)
{
    TimerTable table;
    for (int n = 0; n < 255; ++n) ASSERT_TRUE(table.Set(m_window, Control(n), 1, 1000)) << n;
    EXPECT_FALSE(table.Set(m_window, Control(300), 1, 1000)) << "all 255 window ids are taken";
    ASSERT_TRUE(table.Kill(m_window, Control(100), 1));
    EXPECT_FALSE(table.Set(m_window, Control(300), 1, 1000)) << "a killed record keeps its id for a restart";

    // Forgetting one record frees exactly its id, wherever the counter is.
    const UINT freed = WindowIdOf(table, Control(101), 1);
    table.KillAll(Control(101));
    ASSERT_TRUE(table.Set(m_window, Control(300), 1, 1000));
    EXPECT_EQ(WindowIdOf(table, Control(300), 1), freed);
}

TEST_F(TimerTableTest, TheTimersOfADeadControlAreNeverFoundAndAControlAtItsAddressStartsAfresh)
{
    TimerTable table;
    ASSERT_TRUE(table.Set(m_window, Control(1), 1, 1000));  // 17
    ASSERT_TRUE(table.Set(m_window, Control(2), 1, 1000));  // 18
    m_fakes[1].anchor.Retire();                             // the control dies
    TimerTable::Timer found;
    EXPECT_FALSE(table.FindRunning(m_window, 17, found)) << "a tick of a dead control reaches nobody";
    EXPECT_FALSE(table.Kill(m_window, Control(1), 1));

    table.DropGone();
    EXPECT_FALSE(SystemTimerRunning(17)) << "stopped when dropped";
    ASSERT_TRUE(table.FindRunning(m_window, 18, found)) << "the others keep running";

    // Another control made at the same address is not the dead one: its
    // timer is new, not "already running".
    m_fakes[1].anchor.Renew();
    ASSERT_TRUE(table.Set(m_window, Control(1), 1, 1000));
    EXPECT_EQ(WindowIdOf(table, Control(1), 1), 19u);
}

TEST_F(TimerTableTest, NoWindowNoTimerAndWmTimerIdsCompareInTheirLow16Bits)
{
    TimerTable table;
    EXPECT_FALSE(table.Set(nullptr, Control(1), 1, 10));
    ASSERT_TRUE(table.Set(m_window, Control(1), 5, 10));
    TimerTable::Timer found;
    ASSERT_TRUE(table.FindRunning(m_window, 0xABCD0000u | 17u, found));
    EXPECT_EQ(found.control.Get(), static_cast<CControlUI*>(Control(1)));
    EXPECT_EQ(found.localId, 5u);

    // The system really ticks on that id.
    const DWORD deadline = ::GetTickCount() + 5000;
    MSG msg;
    bool ticked = false;
    while (!ticked && ::GetTickCount() < deadline) {
        if (::PeekMessageW(&msg, m_window, WM_TIMER, WM_TIMER, PM_REMOVE))
            ticked = msg.wParam == 17;
        else
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_TIMER);
    }
    EXPECT_TRUE(ticked);
}

}  // namespace
