#pragma once
// Shows exactly one of its children (the selected one) over its whole inner
// area; the others are hidden. The first visible child added is selected.

#include "ui/controls/ContainerUI.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
public:
    CTabLayoutUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl) override;
    void RemoveAll() override;

    int GetCurSel() const;
    // Shows child `iIndex`, hides the others and sends "tabselect" (wParam
    // the new index, lParam the previous one). False when out of range.
    bool SelectItem(int iIndex, bool bSetFocus = false);
    bool SelectItem(CControlUI* pControl, bool bSetFocus = false);

    void SetPos(RECT rc) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

protected:
    int m_iCurSel = -1;
};

}  // namespace SkinUI
