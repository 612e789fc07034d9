#include "ui/paint/ControlGroups.h"

#include "ui/base/UiString.h"

#include <vector>

namespace SkinUI {

bool ControlGroups::Add(LPCTSTR group, CControlUI* control)
{
    if (group == nullptr) return false;
    if (CStdPtrArray* members = Find(group)) {
        if (members->Find(control) >= 0) return false;
        return members->Add(control);
    }
    auto* members = new CStdPtrArray(6);
    members->Add(control);
    return m_groups.Insert(group, members);
}

CStdPtrArray* ControlGroups::Find(LPCTSTR group) const { return group != nullptr ? m_groups.Find(group) : nullptr; }

void ControlGroups::Remove(LPCTSTR group, CControlUI* control)
{
    CStdPtrArray* members = Find(group);
    if (members == nullptr) return;
    const int index = members->Find(control);
    if (index >= 0) members->Remove(index);
    if (members->IsEmpty()) m_groups.Remove(group);
}

void ControlGroups::RemoveEverywhere(CControlUI* control)
{
    // Names first: emptied groups leave the map while we walk.
    std::vector<CUiString> names;
    for (int i = 0; i < m_groups.GetSize(); ++i)
        if (LPCTSTR key = m_groups.GetAt(i)) names.emplace_back(key);
    for (const CUiString& name : names) {
        CStdPtrArray* members = m_groups.Find(name, false);
        if (members != nullptr && members->Find(control) >= 0) Remove(name, control);
    }
}

void ControlGroups::Clear() { m_groups.RemoveAll(); }

}  // namespace SkinUI
