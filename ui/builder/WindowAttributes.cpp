#include "ui/builder/WindowAttributes.h"

#include "ui/base/AttributeValue.h"
#include "ui/paint/PaintManagerUI.h"

#include <cwchar>

namespace SkinUI {

namespace {

using namespace AttributeValue;

typedef void (*WindowSetter)(CPaintManagerUI& pm, LPCTSTR value);

struct WindowAttribute {
    const wchar_t* name;
    WindowSetter apply;
};

int ClampExtent(int v) { return v > kMaxWindowExtent ? kMaxWindowExtent : v; }

const WindowAttribute kWindowAttributes[] = {
    {L"size",
     [](CPaintManagerUI& pm, LPCTSTR v) {
         SIZE sz = ParseSize(v);
         if (sz.cx > 0 && sz.cy > 0) pm.SetInitSize(ClampExtent(sz.cx), ClampExtent(sz.cy));
     }},
    {L"sizebox", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetSizeBox(ParseRect(v)); }},
    {L"caption", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetCaptionRect(ParseRect(v)); }},
    {L"roundcorner",
     [](CPaintManagerUI& pm, LPCTSTR v) {
         SIZE sz = ParseSize(v);
         pm.SetRoundCorner(sz.cx, sz.cy);
     }},
    {L"mininfo",
     [](CPaintManagerUI& pm, LPCTSTR v) {
         SIZE sz = ParseSize(v);
         pm.SetMinInfo(sz.cx, sz.cy);
     }},
    {L"maxinfo",
     [](CPaintManagerUI& pm, LPCTSTR v) {
         SIZE sz = ParseSize(v);
         pm.SetMaxInfo(sz.cx, sz.cy);
     }},
    {L"showdirty", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetShowUpdateRect(ParseBool(v)); }},
    {L"alpha", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetTransparent(ParseInt(v)); }},
    {L"bktrans", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetBackgroundTransparent(ParseBool(v)); }},
    {L"disabledfontcolor", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetDefaultDisabledColor(ParseColor(v)); }},
    {L"defaultfontcolor", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetDefaultFontColor(ParseColor(v)); }},
    {L"linkfontcolor", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetDefaultLinkFontColor(ParseColor(v)); }},
    {L"linkhoverfontcolor", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetDefaultLinkHoverFontColor(ParseColor(v)); }},
    {L"selectedcolor", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetDefaultSelectedBkColor(ParseColor(v)); }},
    {L"escclosewnd", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetEscCloseWnd(ParseBool(v)); }},
    {L"aero", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetAero(ParseBool(v)); }},
    {L"margins",
     [](CPaintManagerUI& pm, LPCTSTR v) {
         RECT rc = ParseRect(v);
         pm.SetAeroMargins(rc.left, rc.top, rc.right, rc.bottom);
     }},
    {L"shadow", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetShadow(ParseBool(v)); }},
    {L"shadowborder",
     [](CPaintManagerUI& pm, LPCTSTR v) {
         RECT rc = ParseRect(v);
         pm.SetShadowBorder(rc.left, rc.top, rc.right, rc.bottom);
     }},
    {L"shadowimage", [](CPaintManagerUI& pm, LPCTSTR v) { pm.SetShadowImage(v); }},
};

}  // namespace

void ApplyWindowAttribute(CPaintManagerUI& manager, LPCTSTR name, LPCTSTR value)
{
    for (const WindowAttribute& attribute : kWindowAttributes) {
        if (wcscmp(attribute.name, name) == 0) {
            attribute.apply(manager, value);
            return;
        }
    }
}

}  // namespace SkinUI
