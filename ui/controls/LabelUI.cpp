#include "ui/controls/LabelUI.h"

#include "ui/controls/AttributeTable.h"
#include "ui/base/AttributeValue.h"
#include "ui/render/RenderEngine.h"

// GDI+ needs the COM property types that the lean Windows headers leave out.
#include <objidl.h>
#include <gdiplus.h>

#include <cwchar>

namespace SkinUI {

namespace {

using AttributeValue::ParseBool;
using AttributeValue::ParseColor;
using AttributeValue::ParseInt;

const AttributeEntry<CLabelUI> kLabelAttributes[] = {
    {L"multiline", [](CLabelUI& c, LPCTSTR v) { c.SetMultiLine(ParseBool(v)); }},
    {L"align", [](CLabelUI& c,
                  LPCTSTR v) { c.SetTextStyle(LabelStyle::ApplyAlign(v, c.GetTextStyle(), c.GetMultiLineStyle())); }},
    // Applied on its own: an "align" that follows replaces the whole style
    // and so drops the ellipsis again.
    {L"endellipsis",
     [](CLabelUI& c, LPCTSTR v) { c.SetTextStyle(LabelStyle::ApplyEndEllipsis(c.GetTextStyle(), ParseBool(v))); }},
    {L"font", [](CLabelUI& c, LPCTSTR v) { c.SetFont(ParseInt(v)); }},
    {L"textcolor", [](CLabelUI& c, LPCTSTR v) { c.SetTextColor(ParseColor(v)); }},
    {L"disabledtextcolor", [](CLabelUI& c, LPCTSTR v) { c.SetDisabledTextColor(ParseColor(v)); }},
    {L"textpadding", [](CLabelUI& c, LPCTSTR v) { c.SetTextPadding(AttributeValue::ParseRect(v)); }},
    {L"showhtml", [](CLabelUI& c, LPCTSTR v) { c.SetShowHtml(ParseBool(v)); }},
    {L"enabledeffect", [](CLabelUI& c, LPCTSTR v) { c.SetEnabledEffect(ParseBool(v)); }},
    {L"rhaa", [](CLabelUI& c, LPCTSTR v) { c.SetTextRenderingHintAntiAlias(ParseInt(v)); }},
    {L"transshadow", [](CLabelUI& c, LPCTSTR v) { c.SetTransShadow(ParseInt(v)); }},
    {L"transshadow1", [](CLabelUI& c, LPCTSTR v) { c.SetTransShadow1(ParseInt(v)); }},
    {L"transtext", [](CLabelUI& c, LPCTSTR v) { c.SetTransText(ParseInt(v)); }},
    {L"transtext1", [](CLabelUI& c, LPCTSTR v) { c.SetTransText1(ParseInt(v)); }},
    {L"gradientangle", [](CLabelUI& c, LPCTSTR v) { c.SetGradientAngle(ParseInt(v)); }},
    {L"enabledstroke", [](CLabelUI& c, LPCTSTR v) { c.SetEnabledStroke(ParseBool(v)); }},
    {L"enabledshadow", [](CLabelUI& c, LPCTSTR v) { c.SetEnabledShadow(ParseBool(v)); }},
    {L"transstroke", [](CLabelUI& c, LPCTSTR v) { c.SetTransStroke(ParseInt(v)); }},
    {L"gradientlength", [](CLabelUI& c, LPCTSTR v) { c.SetGradientLength(ParseInt(v)); }},
    {L"shadowoffset",
     [](CLabelUI& c, LPCTSTR v) {
         const SIZE s = AttributeValue::ParseSize(v);
         c.SetShadowOffset(s.cx, s.cy);
     }},
    {L"textcolor1", [](CLabelUI& c, LPCTSTR v) { c.SetTextColor1(ParseColor(v)); }},
    {L"textshadowcolora", [](CLabelUI& c, LPCTSTR v) { c.SetTextShadowColorA(ParseColor(v)); }},
    {L"textshadowcolorb", [](CLabelUI& c, LPCTSTR v) { c.SetTextShadowColorB(ParseColor(v)); }},
    {L"strokecolor", [](CLabelUI& c, LPCTSTR v) { c.SetStrokeColor(ParseColor(v)); }},
};

}  // namespace

CLabelUI::CLabelUI() = default;
CLabelUI::~CLabelUI() = default;

LPCTSTR CLabelUI::GetClass() const { return L"LabelUI"; }

LPVOID CLabelUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"Label") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

void CLabelUI::SetTextStyle(UINT uStyle)
{
    m_uTextStyle = uStyle;
    Invalidate();
}
UINT CLabelUI::GetTextStyle() const { return m_uTextStyle; }

void CLabelUI::SetTextColor(DWORD dwTextColor)
{
    m_dwTextColor = dwTextColor;
    Invalidate();
}
DWORD CLabelUI::GetTextColor() const { return m_dwTextColor; }

void CLabelUI::SetDisabledTextColor(DWORD dwTextColor)
{
    m_dwDisabledTextColor = dwTextColor;
    Invalidate();
}
DWORD CLabelUI::GetDisabledTextColor() const { return m_dwDisabledTextColor; }

void CLabelUI::SetFont(int index)
{
    m_iFont = index;
    Invalidate();
}
int CLabelUI::GetFont() const { return m_iFont; }

RECT CLabelUI::GetTextPadding() const { return m_rcTextPadding; }
void CLabelUI::SetTextPadding(RECT rc)
{
    m_skinTextPadding = rc;
    m_rcTextPadding = Scaled(rc);
    Invalidate();
}

bool CLabelUI::IsShowHtml() const { return m_bShowHtml; }
void CLabelUI::SetShowHtml(bool bShowHtml)
{
    m_bShowHtml = bShowHtml;
    Invalidate();
}

void CLabelUI::RescaleMetrics()
{
    CControlUI::RescaleMetrics();
    m_rcTextPadding = Scaled(m_skinTextPadding);
}

SIZE CLabelUI::EstimateSize(SIZE)
{
    if (m_cxyFixed.cy != 0 || !m_pManager) return m_cxyFixed;
    return SIZE{m_cxyFixed.cx, m_pManager->GetFontInfo(m_iFont)->tm.tmHeight + Scaled(4)};
}

void CLabelUI::DoEvent(TEventUI& event)
{
    // A label shows no focus: only the flag follows the focus.
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    CControlUI::DoEvent(event);
}

void CLabelUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (ApplyAttributeFromTable(kLabelAttributes, *this, pstrName, pstrValue)) return;
    if (pstrName && std::wcscmp(pstrName, L"effectalign") == 0)
        m_uEffectAlign = LabelStyle::ParseEffectAlign(pstrValue, m_uEffectAlign);
    else if (pstrName && std::wcscmp(pstrName, L"effectvalign") == 0)
        m_uEffectVAlign = LabelStyle::ParseEffectVAlign(pstrValue, m_uEffectVAlign);
    else
        CControlUI::SetAttribute(pstrName, pstrValue);
}

void CLabelUI::ResolveDefaultColors()
{
    if (!m_pManager) return;
    if (m_dwTextColor == 0) m_dwTextColor = m_pManager->GetDefaultFontColor();
    if (m_dwDisabledTextColor == 0) m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
}

RECT CLabelUI::TextRect() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.right -= m_rcTextPadding.right;
    rc.top += m_rcTextPadding.top;
    rc.bottom -= m_rcTextPadding.bottom;
    return rc;
}

void CLabelUI::PaintText(HDC hDC)
{
    if (m_pManager) {
        LPCTSTR translated = m_sText.IsEmpty() ? nullptr : CPaintManagerUI::GetLanguageAttributeList(m_sText);
        m_sEffectText = translated && *translated ? translated : static_cast<LPCTSTR>(m_sText);
    } else {
        m_sEffectText = m_sText;
    }
    ResolveDefaultColors();
    RECT rc = TextRect();

    if (m_bEnableEffect) {
        PaintTextEffects(hDC, rc);
        return;
    }
    if (m_sText.IsEmpty()) return;
    const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if (m_bShowHtml) {
        int nLinks = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, nLinks,
                                    m_uTextStyle | DT_SINGLELINE);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
}

// ---- effect settings ---------------------------------------------------------

void CLabelUI::SetEnabledEffect(bool bEnable) { m_bEnableEffect = bEnable; }
bool CLabelUI::GetEnabledEffect() const { return m_bEnableEffect; }
void CLabelUI::SetTextRenderingHintAntiAlias(int nHint)
{
    m_nTextRenderingHint = LabelStyle::ClampRenderingHint(nHint);
}
int CLabelUI::GetTextRenderingHintAntiAlias() const { return m_nTextRenderingHint; }

void CLabelUI::SetShadowOffset(int nOffset, int nAngle)
{
    LabelStyle::ShadowDisplacement d;
    if (!LabelStyle::ComputeShadowDisplacement(nOffset, nAngle, d)) return;
    m_nShadowOffset = nOffset;
    m_nShadowAngle = nAngle;
    m_shadowDisplacement = d;
}
Gdiplus::RectF CLabelUI::GetShadowOffset() const
{
    return Gdiplus::RectF(m_shadowDisplacement.x, m_shadowDisplacement.y, 0, 0);
}
SIZE CLabelUI::GetShadowOffset1() const { return SIZE{m_nShadowOffset, m_nShadowAngle}; }

void CLabelUI::SetTextShadowColorA(DWORD dwColor) { m_dwTextShadowColorA = dwColor; }
DWORD CLabelUI::GetTextShadowColorA() const { return m_dwTextShadowColorA; }
void CLabelUI::SetTextShadowColorB(DWORD dwColor) { m_dwTextShadowColorB = dwColor; }
DWORD CLabelUI::GetTextShadowColorB() const { return m_dwTextShadowColorB; }
void CLabelUI::SetTransShadow(int nTrans) { m_nTransShadow = nTrans; }
int CLabelUI::GetTransShadow() const { return m_nTransShadow; }
void CLabelUI::SetTransShadow1(int nTrans) { m_nTransShadow1 = nTrans; }
int CLabelUI::GetTransShadow1() const { return m_nTransShadow1; }
void CLabelUI::SetTransText(int nTrans) { m_nTransText = nTrans; }
int CLabelUI::GetTransText() const { return m_nTransText; }
void CLabelUI::SetTransText1(int nTrans) { m_nTransText1 = nTrans; }
int CLabelUI::GetTransText1() const { return m_nTransText1; }
void CLabelUI::SetTransStroke(int nTrans) { m_nTransStroke = nTrans; }
int CLabelUI::GetTransStroke() const { return m_nTransStroke; }
void CLabelUI::SetGradientAngle(int nAngle) { m_nGradientAngle = nAngle; }
int CLabelUI::GetGradientAngle() const { return m_nGradientAngle; }
void CLabelUI::SetGradientLength(int nLength) { m_nGradientLength = nLength; }
int CLabelUI::GetGradientLength() const { return m_nGradientLength; }
void CLabelUI::SetEnabledStroke(bool bEnable) { m_bEnableStroke = bEnable; }
bool CLabelUI::GetEnabledStroke() const { return m_bEnableStroke; }
void CLabelUI::SetStrokeColor(DWORD dwColor) { m_dwStrokeColor = dwColor; }
DWORD CLabelUI::GetStrokeColor() const { return m_dwStrokeColor; }
void CLabelUI::SetEnabledShadow(bool bEnable) { m_bEnableShadow = bEnable; }
bool CLabelUI::GetEnabledShadow() const { return m_bEnableShadow; }
void CLabelUI::SetTextColor1(DWORD dwColor) { m_dwTextColor1 = dwColor; }
DWORD CLabelUI::GetTextColor1() const { return m_dwTextColor1; }
UINT CLabelUI::GetEffectAlign() const { return m_uEffectAlign; }
UINT CLabelUI::GetEffectVAlign() const { return m_uEffectVAlign; }

void CLabelUI::SetMultiLine(bool bMultiLine)
{
    if (m_bMultiLine == bMultiLine) return;
    m_bMultiLine = bMultiLine;
    m_uMultiLineStyle = bMultiLine ? LabelStyle::kMultiLineStyle : LabelStyle::kSingleLine;
    Invalidate();
}
bool CLabelUI::GetMultiLine() const { return m_bMultiLine; }
UINT CLabelUI::GetMultiLineStyle() const { return m_uMultiLineStyle; }

}  // namespace SkinUI
