#include "ui/paint/NamedStrings.h"

namespace SkinUI {

bool NamedStrings::Add(LPCTSTR name, LPCTSTR text)
{
    if (name == nullptr || m_map.Find(name, false) != nullptr) return false;
    return m_map.Insert(name, new CUiString(text));
}

LPCTSTR NamedStrings::Find(LPCTSTR name) const
{
    if (name == nullptr) return nullptr;
    const CUiString* text = m_map.Find(name);
    return text != nullptr ? static_cast<LPCTSTR>(*text) : nullptr;
}

bool NamedStrings::Remove(LPCTSTR name) { return name != nullptr && m_map.Remove(name); }

void NamedStrings::Clear() { m_map.RemoveAll(); }

}  // namespace SkinUI
