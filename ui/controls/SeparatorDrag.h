#pragma once
// The separator strip of a vertical or horizontal layout: dragging it
// resizes the layout. Without immediate mode the new edge is previewed as a
// translucent strip painted after everything else and applied on release;
// in immediate mode the parent lays out again on every move.

#include "ui/controls/ControlUI.h"

namespace SkinUI {

class SeparatorDrag {
public:
    explicit SeparatorDrag(bool vertical) : m_bVertical(vertical) {}

    int GetSize() const { return m_iSepSize; }
    void SetSize(int size) { m_iSepSize = size; }
    bool IsImmMode() const { return m_bImmMode; }
    void SetImmMode(CControlUI& layout, bool imm);
    bool IsDragging() const { return (m_uButtonState & kDragging) != 0; }

    // The strip on the layout's rectangle, or on the rectangle the layout
    // will have after the drag when `useNew` is set and a drag is running.
    RECT ThumbRect(const RECT& item, bool useNew) const;
    // Handles the events of a separator drag; false for every other event.
    // `item` is the layout's own rectangle, which a finished drag changes.
    bool HandleEvent(CControlUI& layout, RECT& item, TEventUI& event);
    void PostPaint(HDC hDC) const;

private:
    static const UINT kDragging = 0x40;

    // The layout's fixed size along the axis becomes the dragged size.
    void ApplySize(CControlUI& layout) const;

    int m_iSepSize = 0;
    UINT m_uButtonState = 0;
    POINT m_ptLastMouse = {0, 0};
    RECT m_rcNewPos = {0, 0, 0, 0};
    bool m_bImmMode = false;
    bool m_bVertical;
};

}  // namespace SkinUI
