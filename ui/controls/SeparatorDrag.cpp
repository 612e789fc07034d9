#include "ui/controls/SeparatorDrag.h"

#include "ui/base/DpiScale.h"
#include "ui/controls/LayoutArithmetic.h"
#include "ui/render/RenderEngine.h"

namespace SkinUI {

void SeparatorDrag::SetImmMode(CControlUI& layout, bool imm)
{
    if (m_bImmMode == imm) return;
    if (IsDragging() && !m_bImmMode && layout.GetManager()) layout.GetManager()->RemovePostPaint(&layout);
    m_bImmMode = imm;
}

RECT SeparatorDrag::ThumbRect(const RECT& item, bool useNew) const
{
    const RECT& rc = useNew && IsDragging() ? m_rcNewPos : item;
    return Layout::SeparatorThumb(rc, m_iSepSize, m_bVertical);
}

bool SeparatorDrag::HandleEvent(CControlUI& layout, RECT& item, TEventUI& event)
{
    if (m_iSepSize == 0) return false;
    CPaintManagerUI* manager = layout.GetManager();
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN: {
        if (!layout.IsEnabled()) return false;
        const RECT thumb = ThumbRect(item, false);
        if (!::PtInRect(&thumb, event.ptMouse)) return false;
        m_uButtonState |= kDragging;
        m_ptLastMouse = event.ptMouse;
        m_rcNewPos = item;
        if (!m_bImmMode && manager) manager->AddPostPaint(&layout);
        return true;
    }
    case UIEVENT_BUTTONUP:
        if (!IsDragging()) return false;
        m_uButtonState &= ~kDragging;
        item = m_rcNewPos;
        if (!m_bImmMode && manager) manager->RemovePostPaint(&layout);
        ApplySize(layout);
        layout.NeedParentUpdate();
        return true;
    case UIEVENT_MOUSEMOVE: {
        if (!IsDragging()) return false;
        const RECT oldThumb = ThumbRect(item, true);
        const int minSize = m_bVertical ? layout.GetMinHeight() : layout.GetMinWidth();
        const int maxSize = m_bVertical ? layout.GetMaxHeight() : layout.GetMaxWidth();
        if (!Layout::DragSeparator(m_rcNewPos, m_iSepSize, m_bVertical, m_ptLastMouse, event.ptMouse, minSize, maxSize))
            return true;
        m_ptLastMouse = event.ptMouse;
        if (m_bImmMode) {
            // Only now: a size setter asks the parent for a new layout, which
            // outside immediate mode would resize the layout under the preview.
            ApplySize(layout);
            item = m_rcNewPos;
            layout.NeedParentUpdate();
        } else if (manager) {
            RECT invalid = ThumbRect(item, true);
            ::UnionRect(&invalid, &invalid, &oldThumb);
            RECT current = ThumbRect(item, false);
            ::UnionRect(&invalid, &invalid, &current);
            manager->Invalidate(invalid);
        }
        return true;
    }
    case UIEVENT_SETCURSOR: {
        if (!layout.IsEnabled()) return false;
        const RECT thumb = ThumbRect(item, false);
        if (!::PtInRect(&thumb, event.ptMouse)) return false;
        ::SetCursor(::LoadCursor(nullptr, m_bVertical ? IDC_SIZENS : IDC_SIZEWE));
        return true;
    }
    default:
        return false;
    }
}

void SeparatorDrag::ApplySize(CControlUI& layout) const
{
    // The dragged size is on the screen; the layout keeps sizes at 100 %.
    const int dpi = layout.GetManager() != nullptr ? layout.GetManager()->GetDpi() : kBaseDpi;
    if (m_bVertical)
        layout.SetFixedHeight(UnscaleForDpi(m_rcNewPos.bottom - m_rcNewPos.top, dpi));
    else
        layout.SetFixedWidth(UnscaleForDpi(m_rcNewPos.right - m_rcNewPos.left, dpi));
}

void SeparatorDrag::PostPaint(HDC hDC) const
{
    if (!IsDragging() || m_bImmMode) return;
    CRenderEngine::DrawColor(hDC, ThumbRect(m_rcNewPos, true), 0xAA000000);
}

}  // namespace SkinUI
