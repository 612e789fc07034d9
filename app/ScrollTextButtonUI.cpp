#include "app/ScrollTextButtonUI.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/render/RenderEngine.h"

namespace Vornex {

using SkinUI::CRenderEngine;
using SkinUI::TEventUI;

namespace {

// Scrolling captions are always one line, vertically centred, whatever the
// skin says about alignment and ellipsis.
constexpr UINT kCaptionStyle = DT_VCENTER | DT_SINGLELINE;

}  // namespace

CScrollTextButtonUI::~CScrollTextButtonUI()
{
    if (m_pManager != nullptr) {
        m_pManager->KillTimer(this, kStepTimer);
        m_pManager->KillTimer(this, kPauseTimer);
    }
}

void CScrollTextButtonUI::AddItem(LPCTSTR text, LPCTSTR url)
{
    m_vecTexts.emplace_back(text != nullptr ? text : L"");
    m_vecUrls.emplace_back(url != nullptr ? url : L"");
}

std::wstring CScrollTextButtonUI::GetCurrentUrl() const
{
    if (m_vecUrls.empty()) return std::wstring();
    if (!m_bScrolling) return m_vecUrls[0];
    // The rising caption owns the click once it shows more than the leaving one.
    const bool nextShowsMore = 2 * m_nOffset >= ScrollDistance();
    return m_vecUrls[nextShowsMore ? NextIndex() : m_nIndex];
}

int CScrollTextButtonUI::ScrollDistance() const
{
    int distance = GetFixedHeight();
    if (distance <= 0) distance = m_rcItem.bottom - m_rcItem.top;
    return distance > kStepPixels ? distance : kStepPixels;
}

void CScrollTextButtonUI::DoEvent(TEventUI& event)
{
    if (event.Type != SkinUI::UIEVENT_TIMER) {
        CButtonUI::DoEvent(event);
        return;
    }
    // This control's timers never become "timer" notifications.
    if (event.wParam == kStepTimer) {
        OnStep();
    } else if (event.wParam == kPauseTimer) {
        OnPauseEnded();
    }
}

void CScrollTextButtonUI::OnStep()
{
    const int distance = ScrollDistance();
    m_nOffset += kStepPixels;
    if (m_nOffset >= distance) {
        m_nOffset = distance;
        if (m_pManager != nullptr) {
            m_pManager->KillTimer(this, kStepTimer);
            m_pManager->SetTimer(this, kPauseTimer, m_nPauseMs);
        }
    }
    // Only the text moves: a repaint of this control is enough, no layout.
    Invalidate();
}

void CScrollTextButtonUI::OnPauseEnded()
{
    if (m_pManager != nullptr) m_pManager->KillTimer(this, kPauseTimer);
    if (m_vecTexts.empty()) return;
    if (m_bScrolling) {
        // The caption at rest becomes the one that leaves.
        m_nIndex = NextIndex();
    } else {
        // The first caption has been shown at rest: it is the first to leave,
        // so every caption is seen (and clickable) in turn from the start.
        m_bScrolling = true;
        m_nIndex = 0;
    }
    m_nOffset = 0;
    if (m_pManager != nullptr) m_pManager->SetTimer(this, kStepTimer, m_nStepMs);
}

void CScrollTextButtonUI::PaintText(HDC hDC)
{
    if (m_vecTexts.empty() || GetEnabledEffect()) {
        CButtonUI::PaintText(hDC);
        return;
    }
    UpdateStateBits();
    ResolveDefaultColors();
    RECT rc = TextRect();
    const DWORD color = StateTextColor();
    auto draw = [&](RECT part, const std::wstring& text) {
        if (part.bottom <= part.top) return;
        if (m_bShowHtml) {
            int nLinks = 0;
            CRenderEngine::DrawHtmlText(hDC, m_pManager, part, text.c_str(), color, nullptr, nullptr, nLinks,
                                        kCaptionStyle);
        } else {
            CRenderEngine::DrawText(hDC, m_pManager, part, text.c_str(), color, m_iFont, kCaptionStyle);
        }
    };
    if (!m_bScrolling) {
        draw(rc, m_vecTexts[0]);
        return;
    }
    // The line where the leaving caption ends and the rising one begins.
    const int split = rc.bottom - m_nOffset;
    draw(RECT{rc.left, rc.top, rc.right, split < rc.top ? rc.top : split}, m_vecTexts[m_nIndex]);
    draw(RECT{rc.left, split < rc.top ? rc.top : split, rc.right, rc.bottom}, m_vecTexts[NextIndex()]);
}

}  // namespace Vornex
