#include "ui/controls/VerticalLayoutUI.h"

#include "ui/base/AttributeValue.h"

#include <cwchar>

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CStackLayoutUI(true) {}

LPCTSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"VerticalLayout") == 0) return this;
    return CStackLayoutUI::GetInterface(pstrName);
}

void CVerticalLayoutUI::SetSepHeight(int iHeight) { SetSepSize(iHeight); }
int CVerticalLayoutUI::GetSepHeight() const { return GetSepSize(); }

void CVerticalLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName && std::wcscmp(pstrName, L"sepheight") == 0)
        SetSepHeight(AttributeValue::ParseInt(pstrValue ? pstrValue : L""));
    else
        CStackLayoutUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
