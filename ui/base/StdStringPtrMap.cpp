#include "ui/base/StdStringPtrMap.h"

#include <cwchar>

namespace SkinUI {
namespace {

// h = h * 33 + c over the key's units from the last to the first.
uint32_t HashKey(LPCTSTR key)
{
    uint32_t h = 0;
    for (size_t i = std::wcslen(key); i > 0; --i) {
        h = h * 33u + static_cast<uint32_t>(key[i - 1]);
    }
    return h;
}

}  // namespace

CStdStringPtrMap::CStdStringPtrMap(int size) : m_aT(nullptr), m_nBuckets(0), m_nCount(0)
{
    Resize(size < 16 ? 16 : size);
}

CStdStringPtrMap::~CStdStringPtrMap() { FreeBuckets(); }

void CStdStringPtrMap::FreeBuckets()
{
    for (int i = 0; i < m_nBuckets; ++i) {
        TITEM* item = m_aT[i];
        while (item != nullptr) {
            TITEM* next = item->pNext;
            delete item;
            item = next;
        }
    }
    delete[] m_aT;
    m_aT = nullptr;
    m_nBuckets = 0;
    m_nCount = 0;
}

void CStdStringPtrMap::Resize(int size)
{
    FreeBuckets();
    if (size <= 0) return;
    m_aT = new TITEM*[size]();
    m_nBuckets = size;
}

void CStdStringPtrMap::RemoveAll() { Resize(m_nBuckets); }

unsigned CStdStringPtrMap::BucketOf(LPCTSTR key) const { return HashKey(key) % static_cast<unsigned>(m_nBuckets); }

CStdStringPtrMap::TITEM* CStdStringPtrMap::FindItem(LPCTSTR key, bool optimize) const
{
    if (m_nBuckets == 0 || m_nCount == 0 || key == nullptr) return nullptr;
    const unsigned slot = BucketOf(key);
    for (TITEM* item = m_aT[slot]; item != nullptr; item = item->pNext) {
        if (item->Key == key) {
            if (optimize && item != m_aT[slot]) {
                // Move to the front: the framework looks the same names up again and again.
                item->pPrev->pNext = item->pNext;
                if (item->pNext != nullptr) item->pNext->pPrev = item->pPrev;
                item->pPrev = nullptr;
                item->pNext = m_aT[slot];
                m_aT[slot]->pPrev = item;
                m_aT[slot] = item;
            }
            return item;
        }
    }
    return nullptr;
}

LPVOID CStdStringPtrMap::Find(LPCTSTR key, bool optimize) const
{
    TITEM* item = FindItem(key, optimize);
    return item == nullptr ? nullptr : item->Data;
}

bool CStdStringPtrMap::Insert(LPCTSTR key, LPVOID data)
{
    if (m_nBuckets == 0 || key == nullptr) return false;
    if (FindItem(key, true) != nullptr) return false;
    const unsigned slot = BucketOf(key);
    TITEM* item = new TITEM;
    item->Key = key;
    item->Data = data;
    item->pPrev = nullptr;
    item->pNext = m_aT[slot];
    if (item->pNext != nullptr) item->pNext->pPrev = item;
    m_aT[slot] = item;
    ++m_nCount;
    return true;
}

LPVOID CStdStringPtrMap::Set(LPCTSTR key, LPVOID data)
{
    if (m_nBuckets == 0 || key == nullptr) return data;
    if (TITEM* item = FindItem(key, true)) {
        LPVOID old = item->Data;
        item->Data = data;
        return old;
    }
    Insert(key, data);
    return nullptr;
}

bool CStdStringPtrMap::Remove(LPCTSTR key)
{
    if (m_nBuckets == 0 || m_nCount == 0 || key == nullptr) return false;
    const unsigned slot = BucketOf(key);
    for (TITEM* item = m_aT[slot]; item != nullptr; item = item->pNext) {
        if (item->Key == key) {
            if (item->pPrev != nullptr)
                item->pPrev->pNext = item->pNext;
            else
                m_aT[slot] = item->pNext;
            if (item->pNext != nullptr) item->pNext->pPrev = item->pPrev;
            delete item;
            --m_nCount;
            return true;
        }
    }
    return false;
}

int CStdStringPtrMap::GetSize() const { return m_nCount; }

LPCTSTR CStdStringPtrMap::GetAt(int index) const
{
    if (index < 0 || index >= m_nCount) return nullptr;
    // Iteration order: buckets from the last to the first, each from its head.
    int position = 0;
    for (int slot = m_nBuckets - 1; slot >= 0; --slot) {
        for (TITEM* item = m_aT[slot]; item != nullptr; item = item->pNext) {
            if (position++ == index) return item->Key;
        }
    }
    return nullptr;
}

LPCTSTR CStdStringPtrMap::operator[](int index) const { return GetAt(index); }

}  // namespace SkinUI
