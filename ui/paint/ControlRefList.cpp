#include "ui/paint/ControlRefList.h"

#include <algorithm>

namespace SkinUI {

void ControlRefList::DropGone()
{
    m_refs.erase(std::remove_if(m_refs.begin(), m_refs.end(), [](const ControlRef& ref) { return !ref; }),
                 m_refs.end());
}

bool ControlRefList::Add(const ControlRef& control)
{
    DropGone();
    if (!control) return false;
    m_refs.push_back(control);
    return true;
}

bool ControlRefList::InsertAt(int index, const ControlRef& control)
{
    DropGone();
    if (!control || index < 0 || index > static_cast<int>(m_refs.size())) return false;
    m_refs.insert(m_refs.begin() + index, control);
    return true;
}

bool ControlRefList::Remove(const CControlUI* control)
{
    DropGone();
    const auto it =
        std::find_if(m_refs.begin(), m_refs.end(), [&](const ControlRef& ref) { return RefersTo(ref, control); });
    if (it == m_refs.end()) return false;
    m_refs.erase(it);
    return true;
}

bool ControlRefList::Contains(const CControlUI* control) const
{
    return std::any_of(m_refs.begin(), m_refs.end(), [&](const ControlRef& ref) { return RefersTo(ref, control); });
}

int ControlRefList::Size() const
{
    return static_cast<int>(
        std::count_if(m_refs.begin(), m_refs.end(), [](const ControlRef& ref) { return static_cast<bool>(ref); }));
}

void ControlRefList::Clear()
{
    m_refs.clear();
    m_live.Empty();
}

CStdPtrArray* ControlRefList::Live()
{
    DropGone();
    m_live.Empty();
    for (const ControlRef& ref : m_refs) m_live.Add(ref.Get());
    return &m_live;
}

}  // namespace SkinUI
