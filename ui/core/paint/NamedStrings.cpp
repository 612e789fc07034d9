#include "ui/core/paint/NamedStrings.h"

#include <memory>

namespace SkinUI {

bool NamedStrings::Add(LPCTSTR name, LPCTSTR text)
{
    if (name == nullptr || m_map.Find(name, false) != nullptr) return false;
    auto copy = std::make_unique<CUiString>(text);
    if (!m_map.Insert(name, copy.get())) return false;
    copy.release();
    return true;
}

LPCTSTR NamedStrings::Find(LPCTSTR name) const
{
    if (name == nullptr) return nullptr;
    const auto* text = static_cast<const CUiString*>(m_map.Find(name));
    return text != nullptr ? static_cast<LPCTSTR>(*text) : nullptr;
}

bool NamedStrings::Remove(LPCTSTR name)
{
    if (name == nullptr) return false;
    std::unique_ptr<CUiString> text(static_cast<CUiString*>(m_map.Find(name, false)));
    return text != nullptr && m_map.Remove(name);
}

void NamedStrings::Clear()
{
    for (int i = 0; i < m_map.GetSize(); ++i)
        if (LPCTSTR key = m_map.GetAt(i)) delete static_cast<CUiString*>(m_map.Find(key, false));
    m_map.RemoveAll();
}

}  // namespace SkinUI
