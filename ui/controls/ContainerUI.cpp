#include "ui/controls/ContainerUI.h"

#include "ui/controls/AttributeTable.h"
#include "ui/base/AttributeValue.h"
#include "ui/controls/LayoutArithmetic.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/render/RenderEngine.h"
#include "ui/render/PaintScratch.h"
#include "ui/render/ScopedClip.h"

namespace SkinUI {

namespace {


bool BarShown(const CScrollBarUI* bar) { return bar && bar->IsVisible(); }

const AttributeEntry<CContainerUI> kContainerAttributes[] = {
    {L"inset", [](CContainerUI& c, LPCTSTR v) { c.SetInset(AttributeValue::ParseRect(v)); }},
    {L"mousechild", [](CContainerUI& c, LPCTSTR v) { c.SetMouseChildEnabled(AttributeValue::ParseBool(v)); }},
    {L"vscrollbar",
     [](CContainerUI& c, LPCTSTR v) {
         c.EnableScrollBar(AttributeValue::ParseBool(v), c.GetHorizontalScrollBar() != nullptr);
     }},
    {L"vscrollbarstyle",
     [](CContainerUI& c, LPCTSTR v) {
         c.EnableScrollBar(true, c.GetHorizontalScrollBar() != nullptr);
         if (c.GetVerticalScrollBar()) c.GetVerticalScrollBar()->ApplyAttributeList(v);
     }},
    {L"hscrollbar",
     [](CContainerUI& c, LPCTSTR v) {
         c.EnableScrollBar(c.GetVerticalScrollBar() != nullptr, AttributeValue::ParseBool(v));
     }},
    {L"hscrollbarstyle",
     [](CContainerUI& c, LPCTSTR v) {
         c.EnableScrollBar(c.GetVerticalScrollBar() != nullptr, true);
         if (c.GetHorizontalScrollBar()) c.GetHorizontalScrollBar()->ApplyAttributeList(v);
     }},
    {L"childpadding", [](CContainerUI& c, LPCTSTR v) { c.SetChildPadding(AttributeValue::ParseInt(v)); }},
};

// The children of a container as the layout arithmetic sees them. Indices
// are checked on every call: a child's OnSize may change the list.
class ChildStack : public Layout::StackItems {
public:
    typedef void (*FloatPlacer)(CContainerUI&, int);
    ChildStack(const CStdPtrArray& items, CContainerUI& owner, FloatPlacer placeFloat)
        : m_items(items), m_owner(owner), m_placeFloat(placeFloat)
    {}
    int Count() const override { return m_items.GetSize(); }
    Kind KindOf(int index) const override
    {
        CControlUI* child = At(index);
        if (!child || !child->IsVisible()) return Kind::Hidden;
        return child->IsFloat() ? Kind::Floating : Kind::Stacked;
    }
    Layout::ChildLimits Limits(int index) const override
    {
        Layout::ChildLimits lim = {};
        CControlUI* child = At(index);
        if (!child) return lim;
        lim.padding = child->GetPadding();
        lim.fixedWidth = child->GetFixedWidth();
        lim.fixedHeight = child->GetFixedHeight();
        lim.minWidth = child->GetMinWidth();
        lim.maxWidth = child->GetMaxWidth();
        lim.minHeight = child->GetMinHeight();
        lim.maxHeight = child->GetMaxHeight();
        return lim;
    }
    SIZE Estimate(int index, SIZE available) override
    {
        CControlUI* child = At(index);
        return child ? child->EstimateSize(available) : SIZE{0, 0};
    }
    void Place(int index, const RECT& rc) override
    {
        if (CControlUI* child = At(index)) child->SetPos(rc);
    }
    void PlaceFloating(int index) override { m_placeFloat(m_owner, index); }

private:
    CControlUI* At(int index) const { return static_cast<CControlUI*>(m_items.GetAt(index)); }

    const CStdPtrArray& m_items;
    CContainerUI& m_owner;
    FloatPlacer m_placeFloat;
};

// A new scroll bar of `owner`, styled by the skin's default attributes for
// its class ("VScrollBar" or "HScrollBar").
CScrollBarUI* NewScrollBar(CContainerUI* owner, CPaintManagerUI* manager, bool horizontal)
{
    auto* bar = new CScrollBarUI;
    bar->SetHorizontal(horizontal);
    bar->SetOwner(owner);
    bar->SetManager(manager, nullptr, false);
    if (manager) {
        LPCTSTR list = manager->GetDefaultAttributeList(horizontal ? L"HScrollBar" : L"VScrollBar");
        if (list) bar->ApplyAttributeList(list);
    }
    return bar;
}

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI()
{
    // The container is going away, so its children cannot wait for the manager.
    m_bDelayedDestroy = false;
    RemoveAll();
    delete m_pVerticalScrollBar;
    m_pVerticalScrollBar = nullptr;
    delete m_pHorizontalScrollBar;
    m_pHorizontalScrollBar = nullptr;
}

LPCTSTR CContainerUI::GetClass() const { return L"ContainerUI"; }

LPVOID CContainerUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
    if (pstrName && std::wcscmp(pstrName, L"Container") == 0) return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterface(pstrName);
}

CControlUI* CContainerUI::GetItemAt(int iIndex) const { return static_cast<CControlUI*>(m_items.GetAt(iIndex)); }

int CContainerUI::GetItemIndex(CControlUI* pControl) const { return m_items.Find(pControl); }

bool CContainerUI::SetItemIndex(CControlUI* pControl, int iIndex)
{
    const int current = m_items.Find(pControl);
    if (current < 0) return false;
    NeedUpdate();
    m_items.Remove(current);
    return m_items.InsertAt(iIndex, pControl) || m_items.Add(pControl);
}

int CContainerUI::GetCount() const { return m_items.GetSize(); }

bool CContainerUI::Add(CControlUI* pControl)
{
    if (!pControl) return false;
    if (m_pManager) m_pManager->InitControls(pControl, this);
    if (IsVisible())
        NeedUpdate();
    else
        pControl->SetInternVisible(false);
    return m_items.Add(pControl);
}

bool CContainerUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (!pControl) return false;
    if (m_pManager) m_pManager->InitControls(pControl, this);
    if (IsVisible())
        NeedUpdate();
    else
        pControl->SetInternVisible(false);
    return m_items.InsertAt(iIndex, pControl);
}

void CContainerUI::DestroyChild(CControlUI* pControl)
{
    if (!m_bAutoDestroy) return;
    if (m_bDelayedDestroy && m_pManager)
        m_pManager->AddDelayedCleanup(pControl);
    else
        delete pControl;
}

bool CContainerUI::Remove(CControlUI* pControl)
{
    if (!pControl) return false;
    const int index = m_items.Find(pControl);
    if (index < 0) return false;
    NeedUpdate();
    // Out of the list before it can be deleted, so nothing reaches it through us.
    m_items.Remove(index);
    DestroyChild(pControl);
    return true;
}

bool CContainerUI::RemoveAt(int iIndex)
{
    CControlUI* child = GetItemAt(iIndex);
    return child ? Remove(child) : false;
}

void CContainerUI::RemoveAll()
{
    // Detach the list first: a destructor that looks at its parent finds it empty.
    CStdPtrArray children(m_items);
    m_items.Empty();
    for (int i = 0; i < children.GetSize(); ++i) DestroyChild(static_cast<CControlUI*>(children[i]));
    NeedUpdate();
}

void CContainerUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(event)) return;
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    const bool keyDown = event.Type == UIEVENT_KEYDOWN;
    const bool wheel = event.Type == UIEVENT_SCROLLWHEEL;
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible() && m_pVerticalScrollBar->IsEnabled()) {
        if (keyDown) {
            switch (event.chKey) {
            case VK_PRIOR:
                PageUp();
                return;
            case VK_NEXT:
                PageDown();
                return;
            case VK_END:
                EndDown();
                return;
            case VK_HOME:
                HomeUp();
                return;
            case VK_UP:
                LineUp(8);
                return;
            case VK_DOWN:
                LineDown(8);
                return;
            default:
                break;
            }
        } else if (wheel) {
            switch (LOWORD(event.wParam)) {
            case SB_LINEUP:
                LineUp(8);
                return;
            case SB_LINEDOWN:
                LineDown(8);
                return;
            default:
                break;
            }
        }
    } else if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible() && m_pHorizontalScrollBar->IsEnabled()) {
        if (keyDown) {
            switch (event.chKey) {
            case VK_PRIOR:
                PageLeft();
                return;
            case VK_NEXT:
                PageRight();
                return;
            case VK_END:
                EndRight();
                return;
            case VK_HOME:
                HomeLeft();
                return;
            case VK_UP:
                LineLeft();
                return;
            case VK_DOWN:
                LineRight();
                return;
            default:
                break;
            }
        } else if (wheel) {
            switch (LOWORD(event.wParam)) {
            case SB_LINEUP:
                LineLeft();
                return;
            case SB_LINEDOWN:
                LineRight();
                return;
            default:
                break;
            }
        }
    }
    CControlUI::DoEvent(event);
}

void CContainerUI::SetVisible(bool bVisible)
{
    if (m_bVisible == bVisible) return;
    CControlUI::SetVisible(bVisible);
    const bool shown = IsVisible();
    for (int i = 0; i < m_items.GetSize(); ++i) static_cast<CControlUI*>(m_items[i])->SetInternVisible(shown);
}

void CContainerUI::SetInternVisible(bool bVisible)
{
    CControlUI::SetInternVisible(bVisible);
    const bool shown = IsVisible();
    for (int i = 0; i < m_items.GetSize(); ++i) static_cast<CControlUI*>(m_items[i])->SetInternVisible(shown);
}

void CContainerUI::SetMouseEnabled(bool bEnable)
{
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetMouseEnabled(bEnable);
    if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetMouseEnabled(bEnable);
    CControlUI::SetMouseEnabled(bEnable);
}

RECT CContainerUI::GetInset() const { return m_rcInset; }

void CContainerUI::SetInset(RECT rcInset)
{
    m_skinInset = rcInset;
    m_rcInset = Scaled(rcInset);
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return m_iChildPadding; }

void CContainerUI::SetChildPadding(int iPadding)
{
    m_skinChildPadding = iPadding;
    m_iChildPadding = Scaled(iPadding);
    NeedUpdate();
}

void CContainerUI::RescaleMetrics()
{
    CControlUI::RescaleMetrics();
    m_rcInset = Scaled(m_skinInset);
    m_iChildPadding = Scaled(m_skinChildPadding);
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const { return m_bAutoDestroy; }
void CContainerUI::SetAutoDestroy(bool bAuto) { m_bAutoDestroy = bAuto; }
bool CContainerUI::IsDelayedDestroy() const { return m_bDelayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool bDelayed) { m_bDelayedDestroy = bDelayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool bEnable) { m_bMouseChildEnabled = bEnable; }

int CContainerUI::FindSelectable(int iIndex, bool bForward) const
{
    const int count = m_items.GetSize();
    if (count == 0) return -1;
    if (iIndex < 0) iIndex = 0;
    if (iIndex >= count) iIndex = count - 1;
    auto selectable = [this](int i) {
        CControlUI* child = GetItemAt(i);
        return child->GetInterface(L"ListItem") != nullptr && child->IsVisible() && child->IsEnabled();
    };
    if (bForward) {
        for (int i = iIndex; i < count; ++i)
            if (selectable(i)) return i;
        return -1;
    }
    for (int i = iIndex; i >= 0; --i)
        if (selectable(i)) return i;
    return FindSelectable(0, true);
}

SIZE CContainerUI::GetScrollPos() const
{
    SIZE sz = {0, 0};
    if (BarShown(m_pVerticalScrollBar)) sz.cy = m_pVerticalScrollBar->GetScrollPos();
    if (BarShown(m_pHorizontalScrollBar)) sz.cx = m_pHorizontalScrollBar->GetScrollPos();
    return sz;
}

SIZE CContainerUI::GetScrollRange() const
{
    SIZE sz = {0, 0};
    if (BarShown(m_pVerticalScrollBar)) sz.cy = m_pVerticalScrollBar->GetScrollRange();
    if (BarShown(m_pHorizontalScrollBar)) sz.cx = m_pHorizontalScrollBar->GetScrollRange();
    return sz;
}

void CContainerUI::SetScrollPos(SIZE szPos)
{
    int dx = 0, dy = 0;
    if (BarShown(m_pVerticalScrollBar)) {
        const int old = m_pVerticalScrollBar->GetScrollPos();
        m_pVerticalScrollBar->SetScrollPos(szPos.cy);
        dy = m_pVerticalScrollBar->GetScrollPos() - old;
    }
    if (BarShown(m_pHorizontalScrollBar)) {
        const int old = m_pHorizontalScrollBar->GetScrollPos();
        m_pHorizontalScrollBar->SetScrollPos(szPos.cx);
        dx = m_pHorizontalScrollBar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0) return;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child || !child->IsVisible() || child->IsFloat()) continue;
        RECT rc = child->GetPos();
        ::OffsetRect(&rc, -dx, -dy);
        child->SetPos(rc);
    }
    Invalidate();
}

void CContainerUI::ScrollBy(int dx, int dy)
{
    SIZE sz = GetScrollPos();
    sz.cx += dx;
    sz.cy += dy;
    SetScrollPos(sz);
}

// `nLine` is in skin pixels; the default font is already the density's.
int CContainerUI::LineHeight(int nLine) const
{
    return m_pManager ? Scaled(nLine) + m_pManager->GetDefaultFontInfo()->tm.tmHeight : Scaled(nLine);
}

// A page is the visible content: the item less the inset and the bar that
// crosses the scrolled axis.
int CContainerUI::PageHeight() const
{
    int page = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
    if (BarShown(m_pHorizontalScrollBar)) page -= m_pHorizontalScrollBar->GetFixedHeight();
    return page;
}

int CContainerUI::PageWidth() const
{
    int page = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
    if (BarShown(m_pVerticalScrollBar)) page -= m_pVerticalScrollBar->GetFixedWidth();
    return page;
}

void CContainerUI::LineUp(int nLine) { ScrollBy(0, -LineHeight(nLine)); }
void CContainerUI::LineDown(int nLine) { ScrollBy(0, LineHeight(nLine)); }
void CContainerUI::PageUp() { ScrollBy(0, -PageHeight()); }
void CContainerUI::PageDown() { ScrollBy(0, PageHeight()); }
void CContainerUI::HomeUp() { ScrollBy(0, -GetScrollPos().cy); }
void CContainerUI::EndDown() { ScrollBy(0, GetScrollRange().cy - GetScrollPos().cy); }
void CContainerUI::LineLeft() { ScrollBy(-Scaled(8), 0); }
void CContainerUI::LineRight() { ScrollBy(Scaled(8), 0); }
void CContainerUI::PageLeft() { ScrollBy(-PageWidth(), 0); }
void CContainerUI::PageRight() { ScrollBy(PageWidth(), 0); }
void CContainerUI::HomeLeft() { ScrollBy(-GetScrollPos().cx, 0); }
void CContainerUI::EndRight() { ScrollBy(GetScrollRange().cx - GetScrollPos().cx, 0); }

void CContainerUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal)
{
    if (bEnableVertical && !m_pVerticalScrollBar) {
        m_pVerticalScrollBar = NewScrollBar(this, m_pManager, false);
    } else if (!bEnableVertical && m_pVerticalScrollBar) {
        delete m_pVerticalScrollBar;
        m_pVerticalScrollBar = nullptr;
    }
    if (bEnableHorizontal && !m_pHorizontalScrollBar) {
        m_pHorizontalScrollBar = NewScrollBar(this, m_pManager, true);
    } else if (!bEnableHorizontal && m_pHorizontalScrollBar) {
        delete m_pHorizontalScrollBar;
        m_pHorizontalScrollBar = nullptr;
    }
    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

RECT CContainerUI::GetClientRect() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    if (BarShown(m_pVerticalScrollBar)) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (BarShown(m_pHorizontalScrollBar)) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    return rc;
}

void CContainerUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    CoveredLayout covered(*this);
    if (m_items.IsEmpty()) return;
    RECT inner = m_rcItem;
    inner.left += m_rcInset.left;
    inner.top += m_rcInset.top;
    inner.right -= m_rcInset.right;
    inner.bottom -= m_rcInset.bottom;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child || !child->IsVisible()) continue;
        if (child->IsFloat())
            SetFloatPos(i);
        else
            child->SetPos(inner);
    }
}

int CContainerUI::StackChildren(bool bVertical, const RECT& client)
{
    Layout::StackFrame frame;
    frame.client = client;
    frame.available.cx = client.right - client.left;
    frame.available.cy = client.bottom - client.top;
    frame.scroll.x = BarShown(m_pHorizontalScrollBar) ? m_pHorizontalScrollBar->GetScrollPos() : 0;
    frame.scroll.y = BarShown(m_pVerticalScrollBar) ? m_pVerticalScrollBar->GetScrollPos() : 0;
    frame.childPadding = m_iChildPadding;
    // Content may extend along the scrolled axis by the bar's range.
    if (bVertical && BarShown(m_pHorizontalScrollBar))
        frame.available.cx =
            Layout::ClampCoord(static_cast<long long>(frame.available.cx) + m_pHorizontalScrollBar->GetScrollRange());
    if (!bVertical && BarShown(m_pVerticalScrollBar))
        frame.available.cy =
            Layout::ClampCoord(static_cast<long long>(frame.available.cy) + m_pVerticalScrollBar->GetScrollRange());
    ChildStack stack(m_items, *this, [](CContainerUI& owner, int index) { owner.SetFloatPos(index); });
    return bVertical ? Layout::StackVertical(frame, stack) : Layout::StackHorizontal(frame, stack);
}

void CContainerUI::SetFloatPos(int iIndex)
{
    CControlUI* child = GetItemAt(iIndex);
    if (!child || !child->IsVisible() || !child->IsFloat()) return;
    TRelativePosUI pos = child->GetRelativePos();
    Layout::RelativePos relative = {pos.bRelative,     pos.szParent,      pos.nMoveXPercent,
                                    pos.nMoveYPercent, pos.nZoomXPercent, pos.nZoomYPercent};
    SIZE fixedSize = {child->GetFixedWidth(), child->GetFixedHeight()};
    const RECT rc = Layout::FloatRect(m_rcItem, child->GetFixedXY(), fixedSize, &relative);
    if (pos.bRelative) child->SetRelativeParentSize(relative.parentSize);
    child->SetPos(rc);
}

void CContainerUI::ProcessScrollBar(RECT rc, int /*cxRequired*/, int cyRequired)
{
    if (BarShown(m_pHorizontalScrollBar)) {
        RECT bar = {rc.left, rc.bottom, rc.right, rc.bottom + m_pHorizontalScrollBar->GetFixedHeight()};
        m_pHorizontalScrollBar->SetPos(bar);
    }
    if (!m_pVerticalScrollBar) return;

    const int height = rc.bottom - rc.top;
    if (cyRequired > height && !m_pVerticalScrollBar->IsVisible()) {
        m_pVerticalScrollBar->SetVisible(true);
        m_pVerticalScrollBar->SetScrollRange(cyRequired - height);
        m_pVerticalScrollBar->SetScrollPos(0);
        m_bScrollProcess = true;
        SetPos(m_rcItem);
        m_bScrollProcess = false;
        return;
    }
    if (!m_pVerticalScrollBar->IsVisible()) return;

    const int cyScroll = cyRequired - height;
    if (cyScroll <= 0 && !m_bScrollProcess) {
        m_pVerticalScrollBar->SetVisible(false);
        m_pVerticalScrollBar->SetScrollPos(0);
        m_pVerticalScrollBar->SetScrollRange(0);
        SetPos(m_rcItem);
        return;
    }
    RECT bar = {rc.right, rc.top, rc.right + m_pVerticalScrollBar->GetFixedWidth(), rc.bottom};
    m_pVerticalScrollBar->SetPos(bar);
    if (m_pVerticalScrollBar->GetScrollRange() != cyScroll) {
        const int oldPos = m_pVerticalScrollBar->GetScrollPos();
        m_pVerticalScrollBar->SetScrollRange(cyScroll < 0 ? -cyScroll : cyScroll);
        if (m_pVerticalScrollBar->GetScrollRange() == 0) {
            m_pVerticalScrollBar->SetVisible(false);
            m_pVerticalScrollBar->SetScrollPos(0);
        }
        if (oldPos > m_pVerticalScrollBar->GetScrollPos()) SetPos(m_rcItem);
    }
}

void CContainerUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (!ApplyAttributeFromTable(kContainerAttributes, *this, pstrName, pstrValue))
        CControlUI::SetAttribute(pstrName, pstrValue);
}

void CContainerUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    for (int i = 0; i < m_items.GetSize(); ++i) GetItemAt(i)->SetManager(pManager, this, bInit);
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetManager(pManager, this, bInit);
    if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetManager(pManager, this, bInit);
    CControlUI::SetManager(pManager, pParent, bInit);
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    if ((uFlags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    const bool hitTest = (uFlags & UIFIND_HITTEST) != 0;
    if (hitTest) {
        if (!pData || !::PtInRect(&m_rcItem, *static_cast<const POINT*>(pData))) return nullptr;
        if (!m_bMouseChildEnabled) {
            CControlUI* result = nullptr;
            if (m_pVerticalScrollBar) result = m_pVerticalScrollBar->FindControl(Proc, pData, uFlags);
            if (!result && m_pHorizontalScrollBar) result = m_pHorizontalScrollBar->FindControl(Proc, pData, uFlags);
            if (!result) result = CControlUI::FindControl(Proc, pData, uFlags);
            return result;
        }
    }

    CControlUI* result = nullptr;
    if (m_pVerticalScrollBar) result = m_pVerticalScrollBar->FindControl(Proc, pData, uFlags);
    if (!result && m_pHorizontalScrollBar) result = m_pHorizontalScrollBar->FindControl(Proc, pData, uFlags);
    if (result) return result;

    if ((uFlags & UIFIND_ME_FIRST) != 0) {
        result = CControlUI::FindControl(Proc, pData, uFlags);
        if (result) return result;
    }

    const RECT client = GetClientRect();
    auto accept = [&](CControlUI* found) {
        if (!found) return false;
        if (!hitTest || found->IsFloat()) return true;
        return ::PtInRect(&client, *static_cast<const POINT*>(pData)) != FALSE;
    };
    if ((uFlags & UIFIND_TOP_FIRST) != 0) {
        for (int i = m_items.GetSize() - 1; i >= 0; --i) {
            CControlUI* child = GetItemAt(i);
            if (!child) continue;
            CControlUI* found = child->FindControl(Proc, pData, uFlags);
            if (accept(found)) return found;
        }
    } else {
        for (int i = 0; i < m_items.GetSize(); ++i) {
            CControlUI* child = GetItemAt(i);
            if (!child) continue;
            CControlUI* found = child->FindControl(Proc, pData, uFlags);
            if (accept(found)) return found;
        }
    }

    if ((uFlags & UIFIND_ME_FIRST) == 0) result = CControlUI::FindControl(Proc, pData, uFlags);
    return result;
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    RECT rcTemp;
    if (!m_bCanDraw || !::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) return;

    // The drawing of a whole tree shares its window's scratch GDI objects.
    PaintScratch::Use scratch(m_pManager);
    ScopedClip clip(hDC, rcTemp);
    CControlUI::DoPaint(hDC, rcPaint);

    if (!m_items.IsEmpty()) {
        const RECT client = GetClientRect();
        RECT inClient;
        if (!::IntersectRect(&inClient, &rcPaint, &client)) {
            for (int i = 0; i < m_items.GetSize(); ++i) {
                CControlUI* child = GetItemAt(i);
                if (!child->IsVisible() || !child->IsFloat()) continue;
                if (!::IntersectRect(&rcTemp, &rcPaint, &child->GetPos())) continue;
                if (!::IntersectRect(&rcTemp, &m_rcItem, &child->GetPos())) continue;
                child->DoPaint(hDC, rcPaint);
            }
        } else {
            ScopedClip childClip(hDC, inClient);
            for (int i = 0; i < m_items.GetSize(); ++i) {
                CControlUI* child = GetItemAt(i);
                if (!child->IsVisible()) continue;
                if (!::IntersectRect(&rcTemp, &rcPaint, &child->GetPos())) continue;
                if (child->IsFloat()) {
                    // Floating children may extend over the inset.
                    if (!::IntersectRect(&rcTemp, &m_rcItem, &child->GetPos())) continue;
                    childClip.UseOuter();
                    child->DoPaint(hDC, rcPaint);
                    childClip.UseInner();
                } else {
                    if (!::IntersectRect(&rcTemp, &client, &child->GetPos())) continue;
                    child->DoPaint(hDC, rcPaint);
                }
            }
        }
    }

    if (BarShown(m_pVerticalScrollBar) && ::IntersectRect(&rcTemp, &rcPaint, &m_pVerticalScrollBar->GetPos()))
        m_pVerticalScrollBar->DoPaint(hDC, rcPaint);
    if (BarShown(m_pHorizontalScrollBar) && ::IntersectRect(&rcTemp, &rcPaint, &m_pHorizontalScrollBar->GetPos()))
        m_pHorizontalScrollBar->DoPaint(hDC, rcPaint);
}

CControlUI* CContainerUI::FindSubControl(LPCTSTR pstrSubControlName)
{
    return m_pManager ? m_pManager->FindSubControlByName(this, pstrSubControlName) : nullptr;
}

namespace {

// Applies `apply` to the named control below `container`; false when there is none.
template <typename Apply>
bool ApplyToSubControl(CContainerUI& container, LPCTSTR name, Apply&& apply)
{
    CControlUI* sub = container.FindSubControl(name);
    if (!sub) return false;
    apply(*sub);
    return true;
}

}  // namespace

bool CContainerUI::SetSubControlText(LPCTSTR pstrSubControlName, LPCTSTR pstrText)
{
    return ApplyToSubControl(*this, pstrSubControlName, [&](CControlUI& sub) { sub.SetText(pstrText); });
}

bool CContainerUI::SetSubControlFixedHeight(LPCTSTR pstrSubControlName, int cy)
{
    return ApplyToSubControl(*this, pstrSubControlName, [&](CControlUI& sub) { sub.SetFixedHeight(cy); });
}

bool CContainerUI::SetSubControlFixedWdith(LPCTSTR pstrSubControlName, int cx)
{
    return ApplyToSubControl(*this, pstrSubControlName, [&](CControlUI& sub) { sub.SetFixedWidth(cx); });
}

bool CContainerUI::SetSubControlUserData(LPCTSTR pstrSubControlName, LPCTSTR pstrText)
{
    return ApplyToSubControl(*this, pstrSubControlName, [&](CControlUI& sub) { sub.SetUserData(pstrText); });
}

CUiString CContainerUI::GetSubControlText(LPCTSTR pstrSubControlName)
{
    CControlUI* sub = FindSubControl(pstrSubControlName);
    return sub ? sub->GetText() : CUiString();
}

int CContainerUI::GetSubControlFixedHeight(LPCTSTR pstrSubControlName)
{
    CControlUI* sub = FindSubControl(pstrSubControlName);
    return sub ? sub->GetFixedHeight() : -1;
}

int CContainerUI::GetSubControlFixedWdith(LPCTSTR pstrSubControlName)
{
    CControlUI* sub = FindSubControl(pstrSubControlName);
    return sub ? sub->GetFixedWidth() : -1;
}

CUiString CContainerUI::GetSubControlUserData(LPCTSTR pstrSubControlName)
{
    CControlUI* sub = FindSubControl(pstrSubControlName);
    return sub ? sub->GetUserData() : CUiString();
}

}  // namespace SkinUI
