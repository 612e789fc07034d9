#pragma once
// The paint manager of a skinned window: a thin front over small parts.
//
// Resource side (ui/paint): the window's fonts, image cache, default
// attribute lists, default colours, window properties, option and hot-key
// groups, and the process-wide default font, language strings and colour
// adjustment.
//
// Message side (ui/controls/dispatch, built with the controls): the control
// tree, events, focus, timers, capture, painting and notifications.

#include "ui/base/DpiScale.h"
#include "ui/base/Platform.h"
#include "ui/base/UiString.h"
#include "ui/base/WeakRef.h"
#include "ui/markup/ResourceContextUI.h"

#include <memory>
#ifdef _WIN32
#include "ui/base/StdPtrArray.h"
#include "ui/base/StdStringPtrMap.h"
#include "ui/base/StringOrId.h"
#include "ui/base/UiRect.h"
#include "ui/base/UiSize.h"
#include "ui/paint/ControlGroups.h"
#include "ui/paint/ControlRef.h"
#include "ui/paint/ControlRefList.h"
#include "ui/paint/ControlTreeSide.h"
#include "ui/paint/DefaultFont.h"
#include "ui/paint/ScaledDefaultFont.h"
#include "ui/paint/FontTable.h"
#include "ui/paint/ImageCache.h"
#include "ui/paint/LanguageReader.h"
#include "ui/paint/ListenerList.h"
#include "ui/paint/MessageFilter.h"
#include "ui/paint/MessageRoutes.h"
#include "ui/paint/NamedStrings.h"
#include "ui/paint/UiEvent.h"
#include "ui/paint/UiNotify.h"
#include "ui/paint/NotifyQueue.h"
#include "ui/paint/PaintCacheSlot.h"
#include "ui/paint/PaintSurface.h"
#include "ui/paint/TimerTable.h"
#include "ui/paint/TooltipWindow.h"
#include "ui/images/ImageInfo.h"

#include <vector>
#endif

namespace SkinUI {

class CControlUI;

// The paint manager of a skinned window. The process-wide resource context
// (CResourceContextUI) is its base, so CPaintManagerUI::SetResourceZip and
// the other static calls reach it.
class CPaintManagerUI : public CResourceContextUI {
public:
    // Reloads the images of every paint manager of the process that has a
    // window.
    static void ReloadSkin();

#ifdef _WIN32
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // ---- window binding and the control tree --------------------------
    // Binds the window, takes its device context and joins the list of all
    // managers of the process.
    void Init(HWND hWnd);
    // Reads as gone once this manager is destroyed.
    WeakRef<CPaintManagerUI> GetWeakRef() { return WeakRef<CPaintManagerUI>(this, m_objectAnchor); }
    // The window has had its final message. Handlers still running on the
    // stack stop at their next check, and notifications and filters are
    // no longer delivered, as when the manager itself is destroyed; the
    // manager lives on until its window object is deleted.
    void WindowGone();
    HWND GetPaintWindow() const { return m_hWndPaint; }
    HDC GetPaintDC() const { return m_hDcPaint.Get(); }
    CControlUI* GetRoot() const { return m_pRoot.Get(); }
    POINT GetMousePos() const { return m_ptLastMousePos; }
    void SetMousePos(POINT pt) { m_ptLastMousePos = pt; }
    SIZE GetClientSize() const;
    // Asks for the whole window to be repainted (what invalidating the root
    // control amounts to).
    void InvalidateRoot();

    // Makes `pControl` the root: clears focus, hover, click and key
    // controls, hands an earlier root to the delayed cleanup, asks for a
    // layout and a "windowinit" notification, and attaches the tree.
    bool AttachDialog(CControlUI* pControl);
    // Attaches a subtree to this manager (a null parent means the control's
    // own) and registers its named controls.
    bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
    // Every reference this manager (or anyone) holds to `pControl` and the
    // controls under it reads as gone from now on, and its name leaves the
    // name map. Called by every control's destructor, and with the root by
    // a window that is gone: handlers still running then reach no control.
    void ReapObjects(CControlUI* pControl);

    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(LPCTSTR pstrName) const;
    CControlUI* FindSubControlByPoint(CControlUI* pParent, POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* pParent, LPCTSTR pstrName) const;
    CControlUI* FindSubControlByClass(CControlUI* pParent, LPCTSTR pstrClass, int iIndex = 0);
    CStdPtrArray* FindSubControlsByClass(CControlUI* pParent, LPCTSTR pstrClass);
    CStdPtrArray* GetSubControlsByClass();

    // ---- focus ---------------------------------------------------------
    CControlUI* GetFocus() const { return m_pFocus.Get(); }
    void SetFocus(CControlUI* pControl);
    void SetFocusNeeded(CControlUI* pControl);
    bool SetNextTabControl(bool bForward = true);

    // ---- control timers --------------------------------------------------
    // Window timer ids are handed out from 17 on (modulo 255); a killed
    // timer restarted for the same control and id keeps its window id.
    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    void KillTimer(CControlUI* pControl);
    void RemoveAllTimers();

    // ---- mouse capture ---------------------------------------------------
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_bMouseCapture; }

    // ---- painting ------------------------------------------------------
    void NeedUpdate() { m_bUpdateNeeded = true; }
    void Invalidate(RECT& rcItem);
    void ReDraw();
    bool AddPostPaint(CControlUI* pControl);
    bool RemovePostPaint(CControlUI* pControl);
    bool SetPostPaintIndex(CControlUI* pControl, int iIndex);
    int GetPostPaintCount() const { return m_aPostPaintControls.Size(); }
    bool IsCanDraw() const { return m_bCanDraw; }
    void SetCanDraw(bool bCanDraw) { m_bCanDraw = bCanDraw; }

    // ---- notifications and filters ----------------------------------------
    // Synchronous notifications reach the sender's OnNotify delegates and
    // then every notifier; asynchronous ones wait for the next message.
    void SendNotify(TNotifyUI& Msg, bool bAsync = false);
    void SendNotify(CControlUI* pControl, LPCTSTR pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool bAsync = false);
    bool AddNotifier(INotifyUI* pControl);
    bool RemoveNotifier(INotifyUI* pControl);
    bool AddPreMessageFilter(IMessageFilterUI* pFilter);
    bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
    bool AddMessageFilter(IMessageFilterUI* pFilter);
    bool RemoveMessageFilter(IMessageFilterUI* pFilter);
    bool AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool TranslateAccelerator(LPMSG pMsg);
    void UsedVirtualWnd(bool bUsed) { m_bUsedVirtualWnd = bUsed; }

    // Takes `pControl` out of the tree's life: it is deleted when the window
    // handles WM_APP + 1, after the current message has finished with it.
    void AddDelayedCleanup(CControlUI* pControl);

    // ---- message entry points --------------------------------------------
    // Both return true when the message was handled; `lRes` then holds its
    // result.
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    // Offers a message of the framework's own loops to the manager of its
    // window (accelerators, then pre-message handling).
    static bool TranslateMessage(const LPMSG pMsg);
    static void MessageLoop();

    // ---- colour adjustment (process-wide) -------------------------------
    static void SetHSL(bool bUseHSL, short H, short S, short L);
    static void GetHSL(short* H, short* S, short* L);

    // ---- display scale -------------------------------------------------
    // Skin metrics are written for 96 dots per inch; the window draws at the
    // density of its monitor. Every size the skin gives the window and its
    // controls is kept at 100 % and read scaled, each value rounded once.
    int GetDpi() const { return m_nDpi; }
    // `value` (a 100 % skin metric) at this window's density.
    int ScaleValue(int value) const { return ScaleForDpi(value, m_nDpi); }
    RECT ScaleValue(const RECT& rc) const { return ScaleForDpi(rc, m_nDpi); }
    SIZE ScaleValue(const SIZE& sz) const { return ScaleForDpi(sz, m_nDpi); }
    // Re-scales everything from its 100 % values (window properties, fonts,
    // the controls of the tree) and asks for a new layout and paint. Values
    // below 1 count as 96. The window's own size is the caller's: on a move
    // to another monitor the system suggests it.
    void SetDpi(int dpi);
    // The density of `hWnd`'s monitor as the system reports it to this
    // process: per window where the system knows that, else the screen's.
    static int DpiOfWindow(HWND hWnd);
    // Makes DpiOfWindow answer `dpi` for every window from now on; 0 gives
    // the system's answers back. For tests: the density of a Wine prefix is
    // fixed when the process starts.
    static void OverrideDpi(int dpi);

    // ---- window properties ----------------------------------------------
    // The getters answer at the window's density; the setters take 100 %
    // values (what the skin writes).
    SIZE GetInitSize() const { return ScaleValue(m_szInitWindowSize); }
    void SetInitSize(int cx, int cy);
    RECT& GetSizeBox() { return m_rcSizeBoxScaled; }
    void SetSizeBox(const RECT& rcSizeBox);
    RECT& GetCaptionRect() { return m_rcCaptionScaled; }
    void SetCaptionRect(const RECT& rcCaption);
    SIZE GetRoundCorner() const { return ScaleValue(m_szRoundCorner); }
    void SetRoundCorner(int cx, int cy) { m_szRoundCorner = CUiSize(cx, cy); }
    SIZE GetMinInfo() const { return ScaleValue(m_szMinWindow); }
    void SetMinInfo(int cx, int cy) { m_szMinWindow = CUiSize(cx, cy); }
    SIZE GetMaxInfo() const { return ScaleValue(m_szMaxWindow); }
    void SetMaxInfo(int cx, int cy) { m_szMaxWindow = CUiSize(cx, cy); }
    int GetTransparent() const { return m_nOpacity; }
    void SetTransparent(int nOpacity);
    bool IsBackgroundTransparent() const { return m_bAlphaBackground; }
    void SetBackgroundTransparent(bool bTrans) { m_bAlphaBackground = bTrans; }
    bool IsShowUpdateRect() const { return m_bShowUpdateRect; }
    void SetShowUpdateRect(bool show) { m_bShowUpdateRect = show; }
    bool IsEscCloseWnd() const { return m_bEscCloseWnd; }
    void SetEscCloseWnd(bool bEsc) { m_bEscCloseWnd = bEsc; }
    bool IsAero() const { return m_bAero; }
    void SetAero(bool bAero) { m_bAero = bAero; }
    RECT GetAeroMargins() const { return m_rcAeroMargins; }
    void SetAeroMargins(int l, int t, int r, int b) { m_rcAeroMargins = CUiRect(l, t, r, b); }
    bool IsShadow() const { return m_bShadow; }
    void SetShadow(bool bShadow) { m_bShadow = bShadow; }
    RECT GetShadowBorder() const { return ScaleValue(m_rcShadowBorder); }
    void SetShadowBorder(int l, int t, int r, int b) { m_rcShadowBorder = CUiRect(l, t, r, b); }
    LPCTSTR GetShadowImage() const { return m_sShadowImage; }
    // Keeps at most 260 characters.
    void SetShadowImage(LPCTSTR pStrImage);

    // ---- default colours ------------------------------------------------
    DWORD GetDefaultDisabledColor() const;
    void SetDefaultDisabledColor(DWORD dwColor) { m_dwDefaultDisabledColor = dwColor; }
    DWORD GetDefaultFontColor() const;
    void SetDefaultFontColor(DWORD dwColor) { m_dwDefaultFontColor = dwColor; }
    DWORD GetDefaultLinkFontColor() const;
    void SetDefaultLinkFontColor(DWORD dwColor) { m_dwDefaultLinkFontColor = dwColor; }
    DWORD GetDefaultLinkHoverFontColor() const;
    void SetDefaultLinkHoverFontColor(DWORD dwColor) { m_dwDefaultLinkHoverFontColor = dwColor; }
    DWORD GetDefaultSelectedBkColor() const;
    void SetDefaultSelectedBkColor(DWORD dwColor) { m_dwDefaultSelectedBkColor = dwColor; }

    // ---- fonts ----------------------------------------------------------
    // The default font at this window's density (its iSize stays 100 %).
    TFontInfo* GetDefaultFontInfo();
    // Makes the process-wide default font; `nSize` is the 100 % size.
    void SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    DWORD GetCustomFontCount() const;
    HFONT AddFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    HFONT AddFontAt(int index, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    HFONT GetFont(int index);
    HFONT GetFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    bool FindFont(HFONT hFont);
    bool FindFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    int GetFontIndex(HFONT hFont);
    int GetFontIndex(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    bool RemoveFont(HFONT hFont);
    bool RemoveFontAt(int index);
    void RemoveAllFonts();

    // What the render engine keeps for this window between paints (laid-out
    // text, scratch GDI objects); null until the engine first keeps some.
    PaintCacheSlot* GetRenderCache() const { return m_renderCache.get(); }
    void SetRenderCache(std::unique_ptr<PaintCacheSlot> cache) { m_renderCache = std::move(cache); }
    TFontInfo* GetFontInfo(int index);
    TFontInfo* GetFontInfo(HFONT hFont);

    // ---- images ---------------------------------------------------------
    const TImageInfo* GetImage(LPCTSTR bitmap);
    const TImageInfo* GetImageEx(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0);
    const TImageInfo* AddImage(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0);
    // The picture to draw `bitmap` with at the window's density (see
    // ImageCache::Scaled); the cached 100 % image itself at 96 DPI or when
    // no other could be made, null when even that cannot be loaded. Its
    // pixels are the image's 100 % coordinates scaled by ScaleValue.
    const TImageInfo* GetImageForDpi(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0);
    const TImageInfo* AddImage(LPCTSTR bitmap, HBITMAP hBitmap, int iWidth, int iHeight, bool bAlpha);
    bool RemoveImage(LPCTSTR bitmap);
    void RemoveAllImages();
    void ReloadAllImages();

    // ---- default attribute lists ------------------------------------------
    void AddDefaultAttributeList(LPCTSTR pStrControlName, LPCTSTR pStrControlAttrList);
    LPCTSTR GetDefaultAttributeList(LPCTSTR pStrControlName) const;
    bool RemoveDefaultAttributeList(LPCTSTR pStrControlName);
    const CStdStringPtrMap& GetDefaultAttribultes() const { return m_defaultAttributes.Map(); }
    void RemoveAllDefaultAttributeList();

    // ---- language strings (process-wide) ----------------------------------
    static void AddLanguageAttributeList(LPCTSTR pStrName, LPCTSTR pStrAttrList);
    static LPCTSTR GetLanguageAttributeList(LPCTSTR pStrName);
    static bool RemoveLanguageAttributeList(LPCTSTR pStrName);
    static const CStdStringPtrMap& GetLanguagetAttribultes();
    static void RemoveAllLanguageAttributeList();
    // Rebuilds the language strings from a markup document (name or text)
    // with the language reader of the first window's manager, and repaints
    // every window. Without a reader the strings in hand stay.
    static void ReLoadLanguage(STRINGorID xml);
    // What reads language documents for this manager: the dialog builder
    // hands over its reader when it builds a skin into the manager.
    void SetLanguageReader(const LanguageReader* reader) { m_languageReader = reader; }

    // ---- groups ---------------------------------------------------------
    bool AddOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    CStdPtrArray* GetOptionGroup(LPCTSTR pStrGroupName);
    void RemoveOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    void RemoveAllOptionGroups();
    bool AddHotKeyGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    CStdPtrArray* GetHotKeyGroup(LPCTSTR pStrGroupName);
    void RemoveHotKeyGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    void RemoveAllHotKeyGroups();

    // ---- resource sharing -----------------------------------------------
    // Null clears the link. A parent whose own chain already contains this
    // manager is refused (it would make every lookup loop forever).
    bool UseParentResource(CPaintManagerUI* pm);
    CPaintManagerUI* GetParentResource() const { return m_pParentResourcePM; }

    // Every manager that has been given a window (in order of Init).
    static CStdPtrArray* GetPaintManagers();

#endif  // _WIN32

private:
#ifdef _WIN32
    CPaintManagerUI* TopmostResourceManager();
    const CPaintManagerUI* TopmostResourceManager() const;
    TFontInfo* FindFontInfo(LPCTSTR face, int size, bool bold, bool underline, bool italic) const;
    static NamedStrings& LanguageStrings();

    // Message side helpers (one file each).
    void DeliverQueuedNotifications();
    void DeliverNotification(TNotifyUI& Msg);
    void DeleteDelayedCleanup();
    // The controls half as the paint half reaches it (m_treeSide), so that
    // the window side of the manager does not depend on the controls.
    static const ControlTreeSide& TreeSide();
    void Paint();
    void LayOut();
    // The parts of the client area to paint now: the rectangles of the
    // window's invalid area when there are a few, else their bounding box;
    // `bounds` receives the bounding box. False when nothing is invalid.
    bool InvalidRects(const RECT& client, std::vector<RECT>& rects, RECT& bounds);
    // Hands the painted pixels of a layered window to the system: only
    // `dirty` when the window already holds the rest.
    void PushLayeredPixels(HDC source, const RECT& client, const RECT& dirty);
    void TrackMouse(UINT uMsg, LPARAM lParam);
    void ShowToolTip(CControlUI* pControl);
    CControlUI* OwnControlAt(POINT pt) const;
    // An event of `type` about `pSender` at the last mouse position, now.
    TEventUI MakeEvent(int type, CControlUI* pSender) const;
    // Sends such an event about `control` to it; nothing when it is null.
    void SendEventTo(CControlUI* control, int type);
    // Takes the focus from `pControl`.
    void KillFocusOf(CControlUI* pControl, CControlUI* pNewFocus);
    bool HandleTimer(WPARAM wParam);
    // Turns a message of the route table into its control event (see
    // MessageRoutes.h); true when a control got the event.
    bool RouteMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // The point of a routed event; a message's own point becomes the last
    // mouse position.
    POINT RoutedPoint(EventPoint source, LPARAM lParam);
    CControlUI* RoutedTarget(EventTarget target, POINT pt) const;
    // True when a filter handled the message (`lRes` then holds its result).
    bool OfferToFilters(const ListenerList<IMessageFilterUI>& filters, UINT uMsg, WPARAM wParam, LPARAM lParam,
                        LRESULT& lRes);
    void PrintClient(HDC hDC, LPARAM lParam);
    bool FocusShortcut(TCHAR ch);

    const ControlTreeSide* m_treeSide = nullptr;
    const LanguageReader* m_languageReader = nullptr;
    int m_nDpi = kBaseDpi;
    HWND m_hWndPaint = nullptr;
    Gdi::OwnedWindowDC m_hDcPaint;
    // Held weakly: a control that dies (or is reaped) reads as null here.
    ControlRef m_pRoot;
    ControlRef m_pFocus;
    ControlRef m_pEventHover;
    ControlRef m_pEventClick;
    ControlRef m_pEventKey;
    POINT m_ptLastMousePos = {-1, -1};
    bool m_bFirstLayout = true;
    bool m_bUpdateNeeded = false;
    bool m_bFocusNeeded = false;
    bool m_bOffscreenPaint = true;
    bool m_bMouseTracking = false;
    bool m_bMouseCapture = false;
    bool m_bUsedVirtualWnd = false;
    bool m_bCanDraw = true;
    // Loops over handlers hold this: a handler that destroys the window (or
    // this manager) ends every such loop that is still running.
    WeakRef<CPaintManagerUI> HandlerRef() { return WeakRef<CPaintManagerUI>(this, m_handlerAnchor); }
    WeakAnchor m_handlerAnchor;  // retired when the window goes, and with this object
    WeakAnchor m_objectAnchor;   // only with this object
    TimerTable m_timers;
    NotifyQueue m_notifications;
    TooltipWindow m_tooltip;
    PaintSurface m_surface;
    // The window's invalid area at the start of a paint, and its rectangles;
    // kept between paints so that a paint makes no GDI object.
    Gdi::Region m_updateRegion;
    std::vector<BYTE> m_updateRegionData;
    // Size of the pixels a layered window was last given: while it stays the
    // same, a paint hands over only the rectangle it changed.
    SIZE m_layeredSize = {0, 0};
    ListenerList<INotifyUI> m_aNotifiers;
    ListenerList<IMessageFilterUI> m_aPreMessageFilters;
    ListenerList<IMessageFilterUI> m_aMessageFilters;
    ControlRefList m_aPostPaintControls;
    CStdPtrArray m_aDelayedCleanup;
    ListenerList<ITranslateAccelerator> m_aTranslateAccelerator;
    CStdStringPtrMap m_mNameHash{83};
    CStdPtrArray m_aFoundControls;

    CUiSize m_szInitWindowSize;
    CUiSize m_szMinWindow;
    CUiSize m_szMaxWindow;
    CUiRect m_rcSizeBox;
    CUiRect m_rcCaption;
    CUiRect m_rcSizeBoxScaled;  // m_rcSizeBox at m_nDpi (handed out by reference)
    CUiRect m_rcCaptionScaled;
    CUiSize m_szRoundCorner;
    int m_nOpacity = 255;
    bool m_bAlphaBackground = false;
    bool m_bShowUpdateRect = false;
    bool m_bEscCloseWnd = false;
    bool m_bAero = false;
    CUiRect m_rcAeroMargins;
    bool m_bShadow = false;
    CUiRect m_rcShadowBorder;
    CUiString m_sShadowImage;

    DWORD m_dwDefaultDisabledColor = 0xFFA7A6AA;
    DWORD m_dwDefaultFontColor = 0xFF000000;
    DWORD m_dwDefaultLinkFontColor = 0xFF0000FF;
    DWORD m_dwDefaultLinkHoverFontColor = 0xFFD3215F;
    DWORD m_dwDefaultSelectedBkColor = 0xFFBAE4FF;

    // Keeps every default font this window may have handed out valid for as
    // long as the window lives.
    DefaultFont::Lease m_defaultFontLease;
    ScaledDefaultFont m_scaledDefaultFont;  // the default font at m_nDpi
    FontTable m_fonts;
    std::unique_ptr<PaintCacheSlot> m_renderCache;
    ImageCache m_images;
    NamedStrings m_defaultAttributes;
    ControlGroups m_optionGroups;
    ControlGroups m_hotKeyGroups;
    CPaintManagerUI* m_pParentResourcePM = nullptr;

    static bool m_bInitAtFirst;
    static short m_H;
    static short m_S;
    static short m_L;
    static CStdPtrArray m_aPreMessages;
#endif  // _WIN32
};

}  // namespace SkinUI
