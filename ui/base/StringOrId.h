#pragma once
// An argument that names a resource either by text or by integer id (a
// value below 0x10000, carried in the pointer the way Win32 resource calls
// expect it).

#include "ui/base/Platform.h"

namespace SkinUI {

class STRINGorID {
public:
    STRINGorID(LPCTSTR text) : m_lpstr(text) {}
    STRINGorID(UINT id) : m_lpstr(reinterpret_cast<LPCTSTR>(static_cast<uintptr_t>(id & 0xFFFF))) {}

    bool IsId() const { return (reinterpret_cast<uintptr_t>(m_lpstr) >> 16) == 0; }
    UINT GetId() const { return static_cast<UINT>(reinterpret_cast<uintptr_t>(m_lpstr)); }

    LPCTSTR m_lpstr;
};

}  // namespace SkinUI
