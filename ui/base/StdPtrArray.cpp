#include "ui/base/StdPtrArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace SkinUI {

CStdPtrArray::CStdPtrArray(int preallocSize) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    if (preallocSize > 0) {
        m_ppVoid = static_cast<LPVOID*>(std::malloc(preallocSize * sizeof(LPVOID)));
        if (m_ppVoid != nullptr) m_nAllocated = preallocSize;
    }
}

CStdPtrArray::CStdPtrArray(const CStdPtrArray& src) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    for (int i = 0; i < src.GetSize(); ++i) Add(src.GetAt(i));
}

CStdPtrArray& CStdPtrArray::operator=(const CStdPtrArray& src)
{
    if (this != &src) {
        Empty();
        for (int i = 0; i < src.GetSize(); ++i) Add(src.GetAt(i));
    }
    return *this;
}

CStdPtrArray::~CStdPtrArray() { std::free(m_ppVoid); }

void CStdPtrArray::Empty()
{
    std::free(m_ppVoid);
    m_ppVoid = nullptr;
    m_nCount = m_nAllocated = 0;
}

void CStdPtrArray::Resize(int size)
{
    Empty();
    if (size <= 0) return;
    m_ppVoid = static_cast<LPVOID*>(std::calloc(size, sizeof(LPVOID)));
    if (m_ppVoid != nullptr) m_nCount = m_nAllocated = size;
}

bool CStdPtrArray::IsEmpty() const { return m_nCount == 0; }

bool CStdPtrArray::Grow()
{
    // Called with the count already incremented for the new element.
    if (m_nCount < m_nAllocated) return true;
    if (m_nAllocated > INT_MAX / 2) return false;
    const int capacity = m_nAllocated == 0 ? 11 : m_nAllocated * 2;
    LPVOID* block = static_cast<LPVOID*>(std::realloc(m_ppVoid, capacity * sizeof(LPVOID)));
    if (block == nullptr) return false;
    m_ppVoid = block;
    m_nAllocated = capacity;
    return true;
}

bool CStdPtrArray::Add(LPVOID item)
{
    if (++m_nCount >= m_nAllocated && !Grow()) {
        --m_nCount;
        return false;
    }
    m_ppVoid[m_nCount - 1] = item;
    return true;
}

bool CStdPtrArray::InsertAt(int index, LPVOID item)
{
    if (index == m_nCount) return Add(item);
    if (index < 0 || index > m_nCount) return false;
    if (++m_nCount >= m_nAllocated && !Grow()) {
        --m_nCount;
        return false;
    }
    std::memmove(&m_ppVoid[index + 1], &m_ppVoid[index], (m_nCount - index - 1) * sizeof(LPVOID));
    m_ppVoid[index] = item;
    return true;
}

bool CStdPtrArray::SetAt(int index, LPVOID item)
{
    if (index < 0 || index >= m_nCount) return false;
    m_ppVoid[index] = item;
    return true;
}

bool CStdPtrArray::Remove(int index)
{
    if (index < 0 || index >= m_nCount) return false;
    if (index < --m_nCount) {
        std::memmove(&m_ppVoid[index], &m_ppVoid[index + 1], (m_nCount - index) * sizeof(LPVOID));
    }
    return true;
}

int CStdPtrArray::Find(LPVOID item) const
{
    for (int i = 0; i < m_nCount; ++i) {
        if (m_ppVoid[i] == item) return i;
    }
    return -1;
}

int CStdPtrArray::GetSize() const { return m_nCount; }

LPVOID* CStdPtrArray::GetData() { return m_ppVoid; }

LPVOID CStdPtrArray::GetAt(int index) const
{
    if (index < 0 || index >= m_nCount) return nullptr;
    return m_ppVoid[index];
}

LPVOID CStdPtrArray::operator[](int index) const { return m_ppVoid[index]; }

}  // namespace SkinUI
