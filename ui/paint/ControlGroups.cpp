#include "ui/paint/ControlGroups.h"

namespace SkinUI {

bool ControlGroups::Add(LPCTSTR group, const ControlRef& control)
{
    if (group == nullptr) return false;
    if (ControlRefList* members = m_groups.Find(group)) {
        if (members->Contains(control.Get())) return false;
        return members->Add(control);
    }
    auto* members = new ControlRefList;
    members->Add(control);
    return m_groups.Insert(group, members);
}

CStdPtrArray* ControlGroups::Find(LPCTSTR group)
{
    if (group == nullptr) return nullptr;
    ControlRefList* members = m_groups.Find(group);
    if (members == nullptr) return nullptr;
    if (members->IsEmpty()) {
        m_groups.Remove(group);
        return nullptr;
    }
    return members->Live();
}

void ControlGroups::Remove(LPCTSTR group, const CControlUI* control)
{
    if (group == nullptr) return;
    ControlRefList* members = m_groups.Find(group);
    if (members == nullptr) return;
    members->Remove(control);
    if (members->IsEmpty()) m_groups.Remove(group);
}

void ControlGroups::Clear() { m_groups.RemoveAll(); }

}  // namespace SkinUI
