#pragma once
// Shows the system wait cursor for the lifetime of the object (Windows only).

#include "ui/base/Platform.h"

namespace SkinUI {

class CWaitCursor {
public:
    CWaitCursor() : m_hOrigCursor(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_hOrigCursor); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hOrigCursor;
};

}  // namespace SkinUI
