#pragma once
// A growable array of fixed-size value records, copied in by bytes.

#include "ui/base/Platform.h"

namespace SkinUI {

class CStdValArray {
public:
    explicit CStdValArray(int elementSize, int preallocSize = 0);
    ~CStdValArray();
    CStdValArray(const CStdValArray&) = delete;
    CStdValArray& operator=(const CStdValArray&) = delete;

    void Empty();
    bool IsEmpty() const;
    bool Add(LPCVOID element);
    bool Remove(int index);
    int GetSize() const;
    int GetCapacity() const { return m_nAllocated; }
    LPVOID GetData();

    LPVOID GetAt(int index) const;
    LPVOID operator[](int index) const;

private:
    LPBYTE m_pVoid;
    int m_iElementSize;
    int m_nCount;
    int m_nAllocated;
};

}  // namespace SkinUI
