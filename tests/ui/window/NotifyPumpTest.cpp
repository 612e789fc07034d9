// Message maps: which handler a notification reaches.

#include "ui/controls/ControlUI.h"
#include "ui/window/NotifyPump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;

namespace {

class BasePump : public CNotifyPump {
public:
    std::vector<std::wstring> calls;
    void OnBaseTimer(TNotifyUI&) { calls.push_back(L"base timer"); }
    void OnBaseClick(TNotifyUI&) { calls.push_back(L"base click"); }

    UI_DECLARE_MESSAGE_MAP(BasePump)
};

UI_BEGIN_MESSAGE_MAP(BasePump, CNotifyPump)
UI_ON_MSGTYPE(L"timer", OnBaseTimer)
UI_ON_MSGTYPE(L"click", OnBaseClick)
UI_END_MESSAGE_MAP()

class DerivedPump : public BasePump {
public:
    void OnAnyClickFirst(TNotifyUI&) { calls.push_back(L"any click first"); }
    void OnAnyClickLast(TNotifyUI&) { calls.push_back(L"any click last"); }
    void OnOkClick(TNotifyUI&) { calls.push_back(L"ok click"); }
    LRESULT OnValue(WPARAM w, LPARAM l)
    {
        calls.push_back(L"value " + std::to_wstring(w) + L"," + std::to_wstring(l));
        return 0;
    }

    UI_DECLARE_MESSAGE_MAP(DerivedPump)
};

UI_BEGIN_MESSAGE_MAP(DerivedPump, BasePump)
UI_ON_MSGTYPE(L"click", OnAnyClickFirst)
UI_ON_MSGTYPE(L"click", OnAnyClickLast)
UI_ON_CLICK_CTRNAME(L"btn_ok", OnOkClick)
UI_ON_MSGTYPE_WL(L"valuechanged", OnValue)
UI_END_MESSAGE_MAP()

TNotifyUI Notification(const wchar_t* type, CControlUI* sender, const wchar_t* virtualWnd = L"")
{
    TNotifyUI msg;
    msg.sType = type;
    msg.pSender = sender;
    msg.sVirtualWnd = virtualWnd;
    msg.wParam = 7;
    msg.lParam = 9;
    return msg;
}

}  // namespace

TEST(NotifyPump, TheEntryForTheSendersNameWinsThenTheLastForAnyControlThenTheBaseMap)
{
    CControlUI ok, other;
    ok.SetName(L"btn_ok");
    other.SetName(L"btn_other");
    struct Case {
        const wchar_t* type;
        CControlUI* sender;
        bool dispatched;
        const wchar_t* call;
    } cases[] = {
        {L"click", &ok, true, L"ok click"},           {L"click", &other, true, L"any click last"},
        {L"click", nullptr, true, L"any click last"}, {L"timer", &ok, true, L"base timer"},
        {L"valuechanged", &ok, true, L"value 7,9"},   {L"Click", &ok, false, nullptr},  // types compare with case
        {L"itemselect", &ok, false, nullptr},
    };
    for (const Case& c : cases) {
        DerivedPump pump;
        TNotifyUI msg = Notification(c.type, c.sender);
        EXPECT_EQ(pump.LoopDispatch(msg), c.dispatched) << c.type;
        if (c.call) {
            ASSERT_EQ(pump.calls.size(), 1u) << c.type;
            EXPECT_EQ(pump.calls[0], c.call);
        } else {
            EXPECT_TRUE(pump.calls.empty()) << c.type;
        }
    }
}

TEST(NotifyPump, VirtualWindowsReceiveTheirNotificationsByNameWithoutCase)
{
    DerivedPump window, page;
    EXPECT_TRUE(window.AddVirtualWnd(L"Page1", &page));
    EXPECT_FALSE(window.AddVirtualWnd(L"Page1", &window));

    TNotifyUI toPage = Notification(L"timer", nullptr, L"page1");
    window.NotifyPump(toPage);
    EXPECT_EQ(page.calls, std::vector<std::wstring>{L"base timer"});
    EXPECT_TRUE(window.calls.empty());

    // A virtual window that has no handler leaves it to the window.
    TNotifyUI unhandled = Notification(L"itemselect", nullptr, L"page1");
    window.NotifyPump(unhandled);
    TNotifyUI unknown = Notification(L"timer", nullptr, L"nowhere");
    window.NotifyPump(unknown);
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"base timer"});

    EXPECT_TRUE(window.RemoveVirtualWnd(L"Page1"));
    EXPECT_FALSE(window.RemoveVirtualWnd(L"Page1"));
}
