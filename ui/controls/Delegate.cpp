#include "ui/controls/Delegate.h"

namespace SkinUI {

CEventSource::~CEventSource()
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aDelegates[i]);
    for (int i = 0; i < m_aRemoved.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aRemoved[i]);
}

CEventSource::operator bool() const
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i)
        if (m_aDelegates[i]) return true;
    return false;
}

void CEventSource::operator+=(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        CDelegateBase* existing = static_cast<CDelegateBase*>(m_aDelegates[i]);
        if (existing && existing->Equals(d)) return;
    }
    CDelegateBase* copy = d.Copy();
    if (!m_aDelegates.Add(copy)) delete copy;
}

void CEventSource::operator+=(FnType fn) { *this += CDelegateStatic(fn); }

void CEventSource::operator-=(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        CDelegateBase* existing = static_cast<CDelegateBase*>(m_aDelegates[i]);
        if (!existing || !existing->Equals(d)) continue;
        if (m_nFiring > 0) {
            // It may be the delegate that is running: free it afterwards.
            m_aDelegates.SetAt(i, nullptr);
            if (!m_aRemoved.Add(existing)) delete existing;
        } else {
            delete existing;
            m_aDelegates.Remove(i);
        }
        return;
    }
}

void CEventSource::operator-=(FnType fn) { *this -= CDelegateStatic(fn); }

bool CEventSource::operator()(void* param)
{
    ++m_nFiring;
    bool result = true;
    // Delegates added by a callee land behind `count` and wait for the next firing.
    const int count = m_aDelegates.GetSize();
    for (int i = 0; i < count && i < m_aDelegates.GetSize(); ++i) {
        CDelegateBase* d = static_cast<CDelegateBase*>(m_aDelegates[i]);
        if (d && !(*d)(param)) {
            result = false;
            break;
        }
    }
    if (--m_nFiring == 0) Compact();
    return result;
}

void CEventSource::Compact()
{
    for (int i = 0; i < m_aRemoved.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aRemoved[i]);
    m_aRemoved.Empty();
    for (int i = m_aDelegates.GetSize() - 1; i >= 0; --i)
        if (!m_aDelegates[i]) m_aDelegates.Remove(i);
}

}  // namespace SkinUI
