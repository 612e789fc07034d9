#pragma once
// Stacks its children top to bottom. Children without a height share the
// height the others leave; a separator strip can make the layout resizable.

#include "ui/control/ContainerUI.h"
#include "ui/control/SeparatorDrag.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    // The separator's height: >= 0 at the bottom edge, < 0 at the top.
    void SetSepHeight(int iHeight);
    int GetSepHeight() const;
    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const;
    RECT GetThumbRect(bool bUseNew = false) const;

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoEvent(TEventUI& event) override;
    void SetPos(RECT rc) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;

private:
    SeparatorDrag m_separator;
};

}  // namespace SkinUI
