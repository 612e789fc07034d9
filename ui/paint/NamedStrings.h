#pragma once
// Texts by name where the first definition of a name wins: the default
// attribute lists of a window (per control class) and the language strings
// of the process.

#include "ui/base/StdStringOwningMap.h"
#include "ui/base/UiString.h"

namespace SkinUI {

class NamedStrings {
public:
    NamedStrings() = default;
    ~NamedStrings() = default;
    NamedStrings(const NamedStrings&) = delete;
    NamedStrings& operator=(const NamedStrings&) = delete;

    // Stores a copy of `text` unless `name` already has one; false then.
    bool Add(LPCTSTR name, LPCTSTR text);
    // The text of `name`, or null.
    LPCTSTR Find(LPCTSTR name) const;
    bool Remove(LPCTSTR name);
    void Clear();
    // The map itself (name -> CUiString*), for callers that walk it.
    const CStdStringPtrMap& Map() const { return m_map.Map(); }

private:
    CStdStringOwningMap<CUiString> m_map{83};
};

}  // namespace SkinUI
