#pragma once
// Per-class tables of the string attributes a control understands. Each
// class looks a name up in its own table and hands names it does not know
// to its base class.

#include "ui/base/Platform.h"

#include <cwchar>

namespace SkinUI {

template <class Control>
struct AttributeEntry {
    const wchar_t* name;
    void (*apply)(Control& control, LPCTSTR value);
};

// Applies the entry named `name` (case-sensitive); false when the table has none.
template <class Control, size_t N>
bool ApplyAttributeFromTable(const AttributeEntry<Control> (&table)[N], Control& control, LPCTSTR name, LPCTSTR value)
{
    if (!name) return false;
    for (const AttributeEntry<Control>& entry : table) {
        if (std::wcscmp(entry.name, name) == 0) {
            entry.apply(control, value ? value : L"");
            return true;
        }
    }
    return false;
}

}  // namespace SkinUI
