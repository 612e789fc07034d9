#pragma once
// The scroll bar a container shows along its right or bottom edge: its
// range and position, orientation and owner. The owner lays it out and
// scrolls by it; events on the bar go to the owner.

#include "ui/control/ControlUI.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    CScrollBarUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetVisible(bool bVisible = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

    CContainerUI* GetOwner() const;
    void SetOwner(CContainerUI* pOwner);
    bool IsHorizontal() const;
    // A horizontal bar is 11 pixels high, a vertical one 11 pixels wide,
    // unless sizes were set.
    void SetHorizontal(bool bHorizontal = true);
    int GetScrollRange() const;
    // Never negative; the position is lowered into a smaller range.
    void SetScrollRange(int nRange);
    int GetScrollPos() const;
    // Clamped to [0, range].
    void SetScrollPos(int nPos);
    int GetLineSize() const;
    void SetLineSize(int nSize);

private:
    bool m_bHorizontal = false;
    int m_nRange = 100;
    int m_nScrollPos = 0;
    int m_nLineSize = 8;
    CContainerUI* m_pOwner = nullptr;
};

}  // namespace SkinUI
