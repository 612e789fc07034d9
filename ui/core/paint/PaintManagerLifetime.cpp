// The end of a paint manager, and the watch over controls that handlers
// may destroy.
#include "ui/control/ControlUI.h"
#include "ui/core/PaintManagerUI.h"

#include <algorithm>
#include <iterator>

namespace SkinUI {

CPaintManagerUI::ControlWatch::ControlWatch(CPaintManagerUI& manager, CControlUI* control)
    : m_manager(manager), m_managerAlive(manager.m_alive), m_control(control)
{
    m_manager.m_watchedControls.push_back(&m_control);
}

CPaintManagerUI::ControlWatch::~ControlWatch()
{
    if (!*m_managerAlive) return;
    auto& watched = m_manager.m_watchedControls;
    const auto it = std::find(watched.rbegin(), watched.rend(), &m_control);
    if (it != watched.rend()) watched.erase(std::next(it).base());
}

CPaintManagerUI::~CPaintManagerUI()
{
    // Handlers still running on the stack below this destructor stop at
    // their next check.
    *m_alive = false;
    m_watchedControls.clear();
    DeleteDelayedCleanup();
    m_notifications.Clear();
    m_mNameHash.RemoveAll();
    CControlUI* root = m_pRoot;
    m_pRoot = nullptr;
    delete root;
    DeleteDelayedCleanup();
    RemoveAllTimers();
    m_tooltip.Destroy();
    m_surface.Drop();

    RemoveAllFonts();
    RemoveAllImages();
    RemoveAllDefaultAttributeList();
    RemoveAllOptionGroups();
    RemoveAllHotKeyGroups();
    const int index = m_aPreMessages.Find(this);
    if (index >= 0) m_aPreMessages.Remove(index);
    if (m_hDcPaint != nullptr) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
    m_hDcPaint = nullptr;
}

}  // namespace SkinUI
