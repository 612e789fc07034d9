#include "runtime/engine/DefaultContextMenu.h"

namespace vxrt {

namespace {

std::string StringField(const nlohmann::json& v, const char* name)
{
    auto it = v.find(name);
    return it != v.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace

void BuildDefaultContextMenu(MenuModel& model, const ContextMenuParams& params, const ContextMenuAbilities& abilities)
{
    model.Clear();
    bool selection = (params.typeFlags & CM_TYPEFLAG_SELECTION) != 0;
    if (params.typeFlags & CM_TYPEFLAG_EDITABLE) {
        // Whether the field's own history can step is not observable from
        // outside the page; the engine ignores an undo with nothing to undo.
        model.AddCommand(MENU_ID_UNDO, L"&Undo", true);
        model.AddCommand(MENU_ID_REDO, L"&Redo", true);
        model.AddSeparator();
        model.AddCommand(MENU_ID_CUT, L"Cu&t", selection);
        model.AddCommand(MENU_ID_COPY, L"&Copy", selection);
        model.AddCommand(MENU_ID_PASTE, L"&Paste", IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE);
        model.AddCommand(MENU_ID_DELETE, L"&Delete", selection);
        model.AddSeparator();
        model.AddCommand(MENU_ID_SELECT_ALL, L"Select &all", true);
        return;
    }
    if (selection) {
        model.AddCommand(MENU_ID_COPY, L"&Copy", true);
        return;
    }
    model.AddCommand(MENU_ID_BACK, L"&Back", abilities.canGoBack);
    model.AddCommand(MENU_ID_FORWARD, L"&Forward", abilities.canGoForward);
    model.AddCommand(MENU_ID_RELOAD, L"&Reload", true);
    model.AddCommand(MENU_ID_RELOAD_NOCACHE, L"Reload ignoring cac&he", true);
    model.AddCommand(MENU_ID_STOPLOAD, L"&Stop", abilities.isLoading);
    model.AddSeparator();
    model.AddCommand(MENU_ID_PRINT, L"&Print...", true);
    model.AddCommand(MENU_ID_VIEW_SOURCE, L"View s&ource", true);
}

const char* HitTestScript()
{
    return "(function(x,y,kb){"
           "var r={x:x,y:y,link:'',rawLink:'',src:'',media:0,sel:'',editable:false,page:location.href};"
           "var s=window.getSelection(),e;"
           "if(kb){e=document.activeElement;var b=null;"
           "if(s&&s.rangeCount&&!s.isCollapsed)b=s.getRangeAt(0).getBoundingClientRect();"
           "else if(e&&e!==document.body&&e!==document.documentElement)b=e.getBoundingClientRect();"
           "if(b){r.x=Math.max(0,Math.round(b.left+Math.min(b.width/2,8)));"
           "r.y=Math.max(0,Math.round(b.top+Math.min(b.height/2,8)));}}"
           "else e=document.elementFromPoint(x,y);"
           "for(var n=e;n;n=n.parentElement){var t=n.tagName;"
           "if((t==='A'||t==='AREA')&&n.getAttribute('href')!==null){r.link=n.href;r.rawLink=n.getAttribute('href');"
           "break;}}"
           "var tag=e?e.tagName:'';"
           "if(tag==='IMG'){r.src=e.currentSrc||e.src;r.media=1;}"
           "else if(tag==='VIDEO'){r.src=e.currentSrc;r.media=2;}"
           "else if(tag==='AUDIO'){r.src=e.currentSrc;r.media=3;}"
           "var ty=tag==='INPUT'?(e.getAttribute('type')||'text').toLowerCase():'';"
           "var field=tag==='TEXTAREA'||/^(text|search|url|tel|email|password|number)$/.test(ty);"
           "if(field&&!e.readOnly&&!e.disabled)r.editable=true;"
           "else if(e&&e.isContentEditable)r.editable=true;"
           "if(field){if(ty!=='password'){try{r.sel=e.value.substring(e.selectionStart,e.selectionEnd);}catch(_){}}}"
           "else r.sel=s?String(s):'';"
           "return r;})";
}

bool ParseHitTest(const nlohmann::json& value, ContextMenuParams& params)
{
    params.typeFlags = CM_TYPEFLAG_PAGE;
    if (!value.is_object()) return false;
    // The page's script can hand back anything: numbers are taken within
    // what a window's coordinates can be.
    auto num = [&](const char* name, int fallback) {
        auto it = value.find(name);
        if (it == value.end() || !it->is_number()) return fallback;
        const double v = it->get<double>();
        return v >= -32768 && v <= 32767 ? static_cast<int>(v) : fallback;
    };
    params.x = num("x", params.x);
    params.y = num("y", params.y);
    params.linkUrl = StringField(value, "link");
    params.unfilteredLinkUrl = StringField(value, "rawLink");
    params.sourceUrl = StringField(value, "src");
    params.pageUrl = StringField(value, "page");
    params.frameUrl = params.pageUrl;
    std::string sel = StringField(value, "sel");
    params.selectionText = CefString(sel).ToWString();
    int media = num("media", 0);
    params.mediaType = media >= CM_MEDIATYPE_NONE && media <= CM_MEDIATYPE_PLUGIN ? media : CM_MEDIATYPE_NONE;
    auto ed = value.find("editable");
    params.editable = ed != value.end() && ed->is_boolean() && ed->get<bool>();
    if (!params.linkUrl.empty()) params.typeFlags |= CM_TYPEFLAG_LINK;
    if (params.mediaType != CM_MEDIATYPE_NONE) params.typeFlags |= CM_TYPEFLAG_MEDIA;
    if (!params.selectionText.empty()) params.typeFlags |= CM_TYPEFLAG_SELECTION;
    if (params.editable) params.typeFlags |= CM_TYPEFLAG_EDITABLE;
    return true;
}

}  // namespace vxrt
