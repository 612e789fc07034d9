#include "ui/controls/OptionUI.h"

#include "ui/controls/AttributeTable.h"
#include "ui/base/AttributeValue.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/render/RenderEngine.h"

#include <cwchar>

namespace SkinUI {

namespace {

using AttributeValue::ParseColor;

const AttributeEntry<COptionUI> kOptionAttributes[] = {
    {L"group", [](COptionUI& c, LPCTSTR v) { c.SetGroup(v); }},
    {L"selected", [](COptionUI& c, LPCTSTR v) { c.Selected(AttributeValue::ParseBool(v)); }},
    {L"selectedimage", [](COptionUI& c, LPCTSTR v) { c.SetSelectedImage(v); }},
    {L"selectedhotimage", [](COptionUI& c, LPCTSTR v) { c.SetSelectedHotImage(v); }},
    {L"foreimage", [](COptionUI& c, LPCTSTR v) { c.SetForeImage(v); }},
    {L"selectedbkcolor", [](COptionUI& c, LPCTSTR v) { c.SetSelectedBkColor(ParseColor(v)); }},
    {L"selectedtextcolor", [](COptionUI& c, LPCTSTR v) { c.SetSelectedTextColor(ParseColor(v)); }},
};

}  // namespace

LPCTSTR COptionUI::GetClass() const { return L"OptionUI"; }

LPVOID COptionUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"Option") == 0) return this;
    return CButtonUI::GetInterface(pstrName);
}

bool COptionUI::Activate()
{
    if (!CButtonUI::Activate()) return false;
    if (!m_sGroupName.IsEmpty())
        Selected(true);
    else
        Selected(!m_bSelected);
    return true;
}

COptionUI::~COptionUI() { LeaveGroup(); }

void COptionUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    CControlUI::SetManager(pManager, pParent, bInit);
    if (bInit && !m_sGroupName.IsEmpty() && m_pManager) JoinGroup();
}

void COptionUI::JoinGroup()
{
    CPaintManagerUI* holder = m_groupManager.Get();
    if (holder != nullptr && holder != m_pManager) LeaveGroup();
    m_pManager->AddOptionGroup(m_sGroupName, this);
    m_groupManager = m_pManager->GetWeakRef();
}

void COptionUI::LeaveGroup()
{
    if (CPaintManagerUI* holder = m_groupManager.Get()) holder->RemoveOptionGroup(m_sGroupName, this);
    m_groupManager = WeakRef<CPaintManagerUI>();
}

void COptionUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = m_bSelected ? UISTATE_SELECTED : 0;
}

void COptionUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (!ApplyAttributeFromTable(kOptionAttributes, *this, pstrName, pstrValue))
        CButtonUI::SetAttribute(pstrName, pstrValue);
}

void COptionUI::Selected(bool bSelected)
{
    if (m_bSelected == bSelected) return;
    m_bSelected = bSelected;
    if (m_bSelected)
        m_uButtonState |= UISTATE_SELECTED;
    else
        m_uButtonState &= ~UISTATE_SELECTED;

    if (m_pManager) {
        if (m_sGroupName.IsEmpty()) {
            m_pManager->SendNotify(this, L"selectchanged");
        } else if (m_bSelected) {
            if (CStdPtrArray* group = m_pManager->GetOptionGroup(m_sGroupName)) {
                for (int i = 0; i < group->GetSize(); ++i) {
                    auto* other = static_cast<COptionUI*>(group->GetAt(i));
                    if (other != this) other->Selected(false);
                }
            }
            m_pManager->SendNotify(this, L"selectchanged");
        }
    }
    Invalidate();
}

bool COptionUI::IsSelected() const { return m_bSelected; }

LPCTSTR COptionUI::GetGroup() const { return m_sGroupName; }

void COptionUI::SetGroup(LPCTSTR pStrGroupName)
{
    const wchar_t* name = pStrGroupName ? pStrGroupName : L"";
    if (m_sGroupName == name) return;
    if (!m_sGroupName.IsEmpty()) LeaveGroup();
    m_sGroupName = name;
    if (!m_sGroupName.IsEmpty() && m_pManager) JoinGroup();
}

LPCTSTR COptionUI::GetSelectedImage() const { return m_sSelectedImage; }
void COptionUI::SetSelectedImage(LPCTSTR pStrImage)
{
    m_sSelectedImage = pStrImage;
    Invalidate();
}
LPCTSTR COptionUI::GetSelectedHotImage() const { return m_sSelectedHotImage; }
void COptionUI::SetSelectedHotImage(LPCTSTR pStrImage)
{
    m_sSelectedHotImage = pStrImage;
    Invalidate();
}
void COptionUI::SetSelectedTextColor(DWORD dwTextColor) { m_dwSelectedTextColor = dwTextColor; }
DWORD COptionUI::GetSelectedTextColor()
{
    if (m_dwSelectedTextColor == 0 && m_pManager) m_dwSelectedTextColor = m_pManager->GetDefaultFontColor();
    return m_dwSelectedTextColor;
}
void COptionUI::SetSelectedBkColor(DWORD dwBkColor) { m_dwSelectedBkColor = dwBkColor; }
DWORD COptionUI::GetSelectBkColor() const { return m_dwSelectedBkColor; }
LPCTSTR COptionUI::GetForeImage() const { return m_sOptionForeImage; }
void COptionUI::SetForeImage(LPCTSTR pStrImage)
{
    m_sOptionForeImage = pStrImage;
    Invalidate();
}

void COptionUI::PaintStatusImage(HDC hDC)
{
    // Options never show a pushed image.
    m_uButtonState &= ~UISTATE_PUSHED;
    bool asButton = true;
    if ((m_uButtonState & UISTATE_HOT) && m_bSelected && !m_sSelectedHotImage.IsEmpty()) {
        asButton = !DrawStateImage(hDC, m_sSelectedHotImage);
    } else if (m_bSelected) {
        if (!m_sSelectedImage.IsEmpty()) {
            asButton = !DrawStateImage(hDC, m_sSelectedImage);
        } else if (m_dwSelectedBkColor != 0) {
            CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwSelectedBkColor));
            return;
        }
    }
    if (asButton) CButtonUI::PaintStatusImage(hDC);
    DrawStateImage(hDC, m_sOptionForeImage);
}

void COptionUI::PaintText(HDC hDC)
{
    if (!m_bSelected) {
        CButtonUI::PaintText(hDC);
        return;
    }
    const DWORD previous = m_dwTextColor;
    if (m_dwSelectedTextColor != 0) m_dwTextColor = m_dwSelectedTextColor;
    ResolveDefaultColors();
    if (!m_sText.IsEmpty()) {
        RECT rc = TextRect();
        const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
        if (m_bShowHtml) {
            int nLinks = 0;
            CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, nLinks, m_uTextStyle);
        } else {
            CRenderEngine::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
        }
    }
    m_dwTextColor = previous;
}

LPCTSTR CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }

}  // namespace SkinUI
