#pragma once
// What a context menu was opened on: the result of the page's hit test.

#include <string>

#include "runtime/CefContextMenu.h"

namespace vxrt {

class ContextMenuParams : public CefContextMenuParams {
public:
    int x = 0, y = 0;
    int typeFlags = CM_TYPEFLAG_NONE;
    std::string linkUrl, unfilteredLinkUrl, sourceUrl, pageUrl, frameUrl;
    int mediaType = CM_MEDIATYPE_NONE;
    std::wstring selectionText;
    bool editable = false;

    int GetXCoord() override { return x; }
    int GetYCoord() override { return y; }
    TypeFlags GetTypeFlags() override { return static_cast<TypeFlags>(typeFlags); }
    CefString GetLinkUrl() override { return CefString(linkUrl); }
    CefString GetUnfilteredLinkUrl() override { return CefString(unfilteredLinkUrl); }
    CefString GetSourceUrl() override { return CefString(sourceUrl); }
    CefString GetPageUrl() override { return CefString(pageUrl); }
    CefString GetFrameUrl() override { return CefString(frameUrl); }
    MediaType GetMediaType() override { return static_cast<MediaType>(mediaType); }
    CefString GetSelectionText() override { return CefString(selectionText); }
    bool IsEditable() override { return editable; }

    IMPLEMENT_REFCOUNTING(ContextMenuParams);
};

}  // namespace vxrt
