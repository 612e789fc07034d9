#pragma once
// A growable array of untyped pointers. It never owns what it points to.
// The count always stays below the capacity: the block grows (doubling, or
// to 11 slots from empty) as soon as an add would fill it.

#include "ui/base/Platform.h"

namespace SkinUI {

class CStdPtrArray {
public:
    explicit CStdPtrArray(int preallocSize = 0);
    CStdPtrArray(const CStdPtrArray& src);
    CStdPtrArray& operator=(const CStdPtrArray& src);
    ~CStdPtrArray();

    void Empty();
    void Resize(int size);
    bool IsEmpty() const;
    int Find(LPVOID item) const;
    bool Add(LPVOID item);
    bool SetAt(int index, LPVOID item);
    bool InsertAt(int index, LPVOID item);
    bool Remove(int index);
    int GetSize() const;
    int GetCapacity() const { return m_nAllocated; }
    LPVOID* GetData();

    LPVOID GetAt(int index) const;
    LPVOID operator[](int index) const;

private:
    bool Grow();

    LPVOID* m_ppVoid;
    int m_nCount;
    int m_nAllocated;
};

}  // namespace SkinUI
