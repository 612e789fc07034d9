#include "ui/controls/HorizontalLayoutUI.h"

#include "ui/base/AttributeValue.h"

#include <cwchar>

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CStackLayoutUI(false) {}

LPCTSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"HorizontalLayout") == 0) return this;
    return CStackLayoutUI::GetInterface(pstrName);
}

void CHorizontalLayoutUI::SetSepWidth(int iWidth) { SetSepSize(iWidth); }
int CHorizontalLayoutUI::GetSepWidth() const { return GetSepSize(); }

void CHorizontalLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName && std::wcscmp(pstrName, L"sepwidth") == 0)
        SetSepWidth(AttributeValue::ParseInt(pstrValue ? pstrValue : L""));
    else
        CStackLayoutUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
