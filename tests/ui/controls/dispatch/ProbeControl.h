#pragma once
// Controls for tests of the paint manager: they log every event they get
// and every area they paint, and let a test act inside their handlers.

#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"

#include <functional>
#include <string>
#include <vector>

namespace SkinUI {

struct LoggedEvent {
    std::wstring control;
    int type;
    WPARAM wParam;
};

template <class Base>
class Probe : public Base {
public:
    // `attributes` is an attribute list ("float=\"true\" pos=\"...\"").
    Probe(std::vector<LoggedEvent>* log, LPCTSTR name, LPCTSTR attributes = L"", UINT flags = 0)
        : m_log(log), m_flags(flags)
    {
        this->SetName(name);
        this->ApplyAttributeList(attributes);
    }
    ~Probe() override
    {
        if (destroyed != nullptr) *destroyed = true;
    }

    UINT GetControlFlags() const override { return m_flags; }

    void DoEvent(TEventUI& event) override
    {
        if (m_log != nullptr) m_log->push_back({std::wstring(this->GetName()), event.Type, event.wParam});
        // Last: the handler may delete this control.
        if (onEvent) onEvent(event);
    }

    void DoPaint(HDC hdc, const RECT& paint) override
    {
        RECT area;
        if (::IntersectRect(&area, &paint, &this->GetPos())) paints.push_back(area);
        Base::DoPaint(hdc, paint);
    }

    std::function<void(TEventUI&)> onEvent;
    std::vector<RECT> paints;
    bool* destroyed = nullptr;

private:
    std::vector<LoggedEvent>* m_log;
    UINT m_flags;
};

using ProbeControl = Probe<CControlUI>;
using ProbeContainer = Probe<CContainerUI>;

}  // namespace SkinUI
