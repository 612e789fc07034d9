#include "ui/base/StdValArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace SkinUI {

CStdValArray::CStdValArray(int elementSize, int preallocSize)
    : m_pVoid(nullptr), m_iElementSize(elementSize > 0 ? elementSize : 1), m_nCount(0), m_nAllocated(0)
{
    if (preallocSize > 0 && preallocSize <= INT_MAX / m_iElementSize) {
        m_pVoid = static_cast<LPBYTE>(std::malloc(static_cast<size_t>(preallocSize) * m_iElementSize));
        if (m_pVoid != nullptr) m_nAllocated = preallocSize;
    }
}

CStdValArray::~CStdValArray() { std::free(m_pVoid); }

void CStdValArray::Empty()
{
    // The block stays allocated for the next fill.
    m_nCount = 0;
}

bool CStdValArray::IsEmpty() const { return m_nCount == 0; }

bool CStdValArray::Add(LPCVOID element)
{
    if (++m_nCount >= m_nAllocated) {
        const int capacity = m_nAllocated == 0 ? 11 : m_nAllocated * 2;
        LPBYTE block = nullptr;
        if (m_nAllocated <= INT_MAX / 2 && capacity <= INT_MAX / m_iElementSize) {
            block = static_cast<LPBYTE>(std::realloc(m_pVoid, static_cast<size_t>(capacity) * m_iElementSize));
        }
        if (block == nullptr) {
            --m_nCount;
            return false;
        }
        m_pVoid = block;
        m_nAllocated = capacity;
    }
    std::memcpy(m_pVoid + static_cast<size_t>(m_nCount - 1) * m_iElementSize, element, m_iElementSize);
    return true;
}

bool CStdValArray::Remove(int index)
{
    if (index < 0 || index >= m_nCount) return false;
    if (index < --m_nCount) {
        std::memmove(m_pVoid + static_cast<size_t>(index) * m_iElementSize,
                     m_pVoid + static_cast<size_t>(index + 1) * m_iElementSize,
                     static_cast<size_t>(m_nCount - index) * m_iElementSize);
    }
    return true;
}

int CStdValArray::GetSize() const { return m_nCount; }

LPVOID CStdValArray::GetData() { return m_pVoid; }

LPVOID CStdValArray::GetAt(int index) const
{
    if (index < 0 || index >= m_nCount) return nullptr;
    return m_pVoid + static_cast<size_t>(index) * m_iElementSize;
}

LPVOID CStdValArray::operator[](int index) const { return m_pVoid + static_cast<size_t>(index) * m_iElementSize; }

}  // namespace SkinUI
