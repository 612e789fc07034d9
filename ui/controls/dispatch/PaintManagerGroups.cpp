// Joining option and hot-key groups. Members are held weakly
// (ControlGroups), and only the controls' side can take a control's
// reference; the rest of the groups' front is in ui/paint.
#include "ui/controls/ControlUI.h"
#include "ui/paint/PaintManagerUI.h"

namespace SkinUI {

bool CPaintManagerUI::AddOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    return m_optionGroups.Add(pStrGroupName, WeakRefTo(pControl));
}

bool CPaintManagerUI::AddHotKeyGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    return m_hotKeyGroups.Add(pStrGroupName, WeakRefTo(pControl));
}

}  // namespace SkinUI
