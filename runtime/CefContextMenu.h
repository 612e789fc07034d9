#pragma once
// The browser's context menu: what was clicked, and the menu to show.

#include "runtime/CefBase.h"
#include "runtime/CefString.h"
#include "runtime/CefTypes.h"

typedef enum {
    CM_TYPEFLAG_NONE = 0,
    CM_TYPEFLAG_PAGE = 1 << 0,
    CM_TYPEFLAG_FRAME = 1 << 1,
    CM_TYPEFLAG_LINK = 1 << 2,
    CM_TYPEFLAG_MEDIA = 1 << 3,
    CM_TYPEFLAG_SELECTION = 1 << 4,
    CM_TYPEFLAG_EDITABLE = 1 << 5,
} cef_context_menu_type_flags_t;

typedef enum {
    CM_MEDIATYPE_NONE = 0,
    CM_MEDIATYPE_IMAGE = 1,
    CM_MEDIATYPE_VIDEO = 2,
    CM_MEDIATYPE_AUDIO = 3,
    CM_MEDIATYPE_FILE = 4,
    CM_MEDIATYPE_PLUGIN = 5,
} cef_context_menu_media_type_t;

typedef enum {
    MENUITEMTYPE_NONE = 0,
    MENUITEMTYPE_COMMAND = 1,
    MENUITEMTYPE_CHECK = 2,
    MENUITEMTYPE_RADIO = 3,
    MENUITEMTYPE_SEPARATOR = 4,
    MENUITEMTYPE_SUBMENU = 5,
} cef_menu_item_type_t;

typedef enum {
    MENU_ID_BACK = 100,
    MENU_ID_FORWARD = 101,
    MENU_ID_RELOAD = 102,
    MENU_ID_RELOAD_NOCACHE = 103,
    MENU_ID_STOPLOAD = 104,
    MENU_ID_UNDO = 110,
    MENU_ID_REDO = 111,
    MENU_ID_CUT = 112,
    MENU_ID_COPY = 113,
    MENU_ID_PASTE = 114,
    MENU_ID_DELETE = 115,
    MENU_ID_SELECT_ALL = 116,
    MENU_ID_FIND = 130,
    MENU_ID_PRINT = 131,
    MENU_ID_VIEW_SOURCE = 132,
    MENU_ID_USER_FIRST = 26500,
    MENU_ID_USER_LAST = 28500,
} cef_menu_id_t;

typedef cef_context_menu_type_flags_t TypeFlags;
typedef cef_context_menu_media_type_t MediaType;
typedef cef_menu_item_type_t MenuItemType;
typedef cef_event_flags_t EventFlags;

class CefContextMenuParams : public virtual CefBase {
public:
    virtual int GetXCoord() = 0;
    virtual int GetYCoord() = 0;
    virtual TypeFlags GetTypeFlags() = 0;
    virtual CefString GetLinkUrl() = 0;
    virtual CefString GetUnfilteredLinkUrl() = 0;
    virtual CefString GetSourceUrl() = 0;
    virtual CefString GetPageUrl() = 0;
    virtual CefString GetFrameUrl() = 0;
    virtual MediaType GetMediaType() = 0;
    virtual CefString GetSelectionText() = 0;
    virtual bool IsEditable() = 0;
};

class CefMenuModel : public virtual CefBase {
public:
    virtual bool Clear() = 0;
    virtual int GetCount() = 0;
    virtual bool AddSeparator() = 0;
    virtual bool AddItem(int command_id, const CefString& label) = 0;
    virtual bool InsertItemAt(int index, int command_id, const CefString& label) = 0;
    virtual bool Remove(int command_id) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual int GetIndexOf(int command_id) = 0;
    virtual int GetCommandIdAt(int index) = 0;
    virtual CefString GetLabel(int command_id) = 0;
    virtual CefString GetLabelAt(int index) = 0;
    virtual bool SetLabel(int command_id, const CefString& label) = 0;
    virtual bool SetLabelAt(int index, const CefString& label) = 0;
    virtual MenuItemType GetType(int command_id) = 0;
    virtual MenuItemType GetTypeAt(int index) = 0;
    virtual bool IsEnabled(int command_id) = 0;
    virtual bool SetEnabled(int command_id, bool enabled) = 0;
};
