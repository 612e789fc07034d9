#pragma once
// Support for the control tests: controls made from attribute lists, events
// delivered straight to a control, and a tree attached to a manager without
// a window, beside the test window and its notification log.

#include "tests/ui/controls/TestWindow.h"
#include "ui/controls/ControlUI.h"
#include "ui/controls/VerticalLayoutUI.h"

#include <gtest/gtest.h>

namespace SkinUI {
namespace Test {

inline void Send(CControlUI& control, int type, POINT pt = {0, 0}, WPARAM wParam = 0, TCHAR key = 0)
{
    TEventUI event;
    event.Type = type;
    event.pSender = &control;
    event.ptMouse = pt;
    event.wParam = wParam;
    event.chKey = key;
    event.dwTimestamp = ::GetTickCount();
    control.Event(event);
}

// A new control with `attributes`, added to `parent` when there is one.
template <class T>
T* Make(CContainerUI* parent, LPCTSTR attributes = L"")
{
    T* control = new T;
    control->ApplyAttributeList(attributes);
    if (parent) parent->Add(control);
    return control;
}

// Controls in a tree attached to a manager without a window; notifications
// are logged synchronously.
class DetachedTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = new CVerticalLayoutUI;
        m_root->SetManager(&m_pm, nullptr, true);
        m_pm.AddNotifier(&m_log);
    }
    void TearDown() override
    {
        m_pm.RemoveNotifier(&m_log);
        delete m_root;
    }
    // A control with `attributes` under the root, placed at `rc`.
    template <class T>
    T* Add(LPCTSTR attributes, RECT rc)
    {
        T* control = Make<T>(m_root, attributes);
        control->SetPos(rc);
        return control;
    }

    CPaintManagerUI m_pm;
    NotifyLog m_log;
    CVerticalLayoutUI* m_root = nullptr;
};

}  // namespace Test
}  // namespace SkinUI
