#pragma once
// Places its children left to right. Children without a width share the
// width the others leave; a separator strip can make the layout resizable.

#include "ui/control/ContainerUI.h"
#include "ui/control/SeparatorDrag.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    // The separator's width: >= 0 at the right edge, < 0 at the left.
    void SetSepWidth(int iWidth);
    int GetSepWidth() const;
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
