#pragma once
// What the vertical and horizontal layouts share: children stacked along one
// axis, those without a size along it sharing what the others leave, and an
// optional separator strip that makes the layout resizable by dragging.
// The two layouts differ only in the axis and in the names skins use.

#include "ui/controls/ContainerUI.h"
#include "ui/controls/SeparatorDrag.h"

namespace SkinUI {

class CStackLayoutUI : public CContainerUI {
public:
    UINT GetControlFlags() const override;

    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const;
    RECT GetThumbRect(bool bUseNew = false) const;

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoEvent(TEventUI& event) override;
    void SetPos(RECT rc) override;
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;
    void RescaleMetrics() override;

protected:
    explicit CStackLayoutUI(bool bVertical);

    // The separator's extent across the axis: >= 0 at the far edge, < 0 at
    // the near one. Set at 100 %, read at the window's density.
    void SetSepSize(int iSize)
    {
        m_skinSepSize = iSize;
        m_separator.SetSize(Scaled(iSize));
    }
    int GetSepSize() const { return m_separator.GetSize(); }

private:
    SeparatorDrag m_separator;
    int m_skinSepSize = 0;
    bool m_bVertical;
};

}  // namespace SkinUI
