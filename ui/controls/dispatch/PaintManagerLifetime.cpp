// The watch over controls that handlers may destroy.
#include "ui/controls/ControlUI.h"
#include "ui/paint/PaintManagerUI.h"

#include <algorithm>
#include <iterator>

namespace SkinUI {

CPaintManagerUI::ControlWatch::ControlWatch(CPaintManagerUI& manager, CControlUI* control)
    : m_manager(&manager, manager.m_objectAnchor), m_control(control)
{
    manager.m_watchedControls.push_back(&m_control);
}

CPaintManagerUI::ControlWatch::~ControlWatch()
{
    CPaintManagerUI* manager = m_manager.Get();
    if (manager == nullptr) return;
    auto& watched = manager->m_watchedControls;
    const auto it = std::find(watched.rbegin(), watched.rend(), &m_control);
    if (it != watched.rend()) watched.erase(std::next(it).base());
}

}  // namespace SkinUI
