#pragma once
// The root of every element of a skinned window: geometry and layout
// constraints, colours, images and border, the visible / enabled / focus
// state, text, tooltip and user data; the fixed painting sequence, hit
// testing, invalidation, the string attributes through which skins configure
// it, and the default event behaviour. Containers, layouts, labels, buttons
// and application controls derive from it.

#include "ui/controls/Delegate.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/base/UiString.h"
#include "ui/images/GdiHandles.h"

namespace SkinUI {

class CGifHandler;

// How a floating control moves and grows with its parent: percentages of
// the parent's growth since the size recorded in szParent.
struct tagTRelativePosUI {
    bool bRelative = false;
    SIZE szParent = {0, 0};
    int nMoveXPercent = 0;
    int nMoveYPercent = 0;
    int nZoomXPercent = 0;
    int nZoomYPercent = 0;
};
typedef tagTRelativePosUI TRelativePosUI;

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual CUiString GetName() const;
    virtual void SetName(LPCTSTR pstrName);
    virtual LPCTSTR GetClass() const;
    // "Control" gives the object; derived classes answer their own names
    // first. Unknown names give null.
    virtual LPVOID GetInterface(LPCTSTR pstrName);
    virtual UINT GetControlFlags() const;
    // True when the control can act (visible and enabled).
    virtual bool Activate();
    virtual CPaintManagerUI* GetManager() const;
    // Reads as null once this control starts dying (after its own
    // OnDestroy) or is reaped by its manager: what the manager and its
    // lists keep instead of the pointer.
    ControlRef GetWeakRef() { return ControlRef(this, m_lifeAnchor); }
    // Every reference handed out so far reads as gone; later ones are good
    // (a tree whose window is gone, see CPaintManagerUI::ReapObjects).
    void DropWeakRefs();
    // Stores both; with `bInit` and a parent, initialises the control.
    virtual void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true);
    virtual CControlUI* GetParent() const;
    virtual CUiString GetText() const;
    virtual void SetText(LPCTSTR pstrText);

    // Position in the window's client coordinates.
    virtual const RECT& GetPos() const;
    virtual void SetPos(RECT rc);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT rcPadding);
    // A floating control's position relative to its parent; a negative x
    // (y) counts from the parent's right (bottom) edge.
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE szXY);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);
    virtual void SetRelativePos(SIZE szMove, SIZE szZoom);
    virtual void SetRelativeParentSize(SIZE sz);
    virtual TRelativePosUI GetRelativePos() const;
    virtual bool IsRelativePos() const;

    virtual CUiString GetToolTip() const;
    // Each "<n>" becomes a line break.
    virtual void SetToolTip(LPCTSTR pstrText);
    virtual void SetToolTipWidth(int nWidth);
    virtual int GetToolTipWidth() const;
    virtual TCHAR GetShortcut() const;
    virtual void SetShortcut(TCHAR ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool bMenuUsed);
    // Shows the next frame of an animated background at the next paint.
    virtual void SetGifed(bool bGifed);
    virtual const CUiString& GetUserData() const;
    virtual void SetUserData(LPCTSTR pstrText);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR pTag);
    virtual void SetUserValue(UINT uValue);
    virtual UINT GetUserValue() const;

    // Visible only when neither the control nor an ancestor is hidden.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool bVisible = true);
    // Visibility imposed by an ancestor.
    virtual void SetInternVisible(bool bVisible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool bEnable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool bEnable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool bEnable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool bFloat = true);
    // Hit testing by the opaque pixels of the background image.
    virtual bool IsRandom() const;
    virtual void SetRandom(bool bRandom);

    // Visits the control (and, in containers, its children) with `Proc`
    // under the UIFIND_ filters; with UIFIND_HITTEST `pData` is a POINT.
    virtual CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);

    // DoInit, then the OnInit delegates.
    virtual void Init();
    virtual void DoInit();
    // The OnEvent delegates may swallow the event; otherwise DoEvent.
    virtual void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);
    // Mouse events are those from UIEVENT_MOUSEMOVE to UIEVENT_SCROLLWHEEL.
    static bool IsMouseEvent(int type) { return type >= UIEVENT_MOUSEMOVE && type <= UIEVENT_SCROLLWHEEL; }

    // Names are case-sensitive; unknown names are ignored.
    virtual void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue);
    virtual SIZE EstimateSize(SIZE szAvailable);

    // Sizes, positions, paddings and borders are given at 100 % (as the
    // skin writes them) and laid out at the manager's density. Makes every
    // such metric again from its 100 % value at that density; derived
    // classes add their own metrics and call this.
    virtual void RescaleMetrics();

    // Paints background colour, background image, status image, text and
    // border, in that order, clipped to `rcPaint`.
    virtual void DoPaint(HDC hDC, const RECT& rcPaint);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual void DoPostPaint(HDC hDC, const RECT& rcPaint);

    // ---- colours ---------------------------------------------------------
    DWORD GetBkColor() const;
    void SetBkColor(DWORD dwBackColor);
    DWORD GetBkColor2() const;
    void SetBkColor2(DWORD dwBackColor);
    DWORD GetBkColor3() const;
    void SetBkColor3(DWORD dwBackColor);
    DWORD GetBorderColor() const;
    void SetBorderColor(DWORD dwBorderColor);
    DWORD GetFocusBorderColor() const;
    void SetFocusBorderColor(DWORD dwBorderColor);
    bool IsColorHSL() const;
    void SetColorHSL(bool bColorHSL);
    // The colour after the manager's hue/saturation/lightness when colour
    // adjustment is on.
    DWORD GetAdjustColor(DWORD dwColor) const;

    // ---- images ----------------------------------------------------------
    LPCTSTR GetBkImage() const;
    void SetBkImage(LPCTSTR pStrImage);
    LPCTSTR GetForeImage() const;
    void SetForeImage(LPCTSTR pStrImage);
    BYTE GetForeAlpha() const;
    void SetForeAlpha(BYTE alpha);
    void SetImage(LPCTSTR pStrBkImage, LPCTSTR pStrForeImage, BYTE alpha);
    bool DrawImage(HDC hDC, LPCTSTR pStrImage, LPCTSTR pStrModify = nullptr);

    // ---- border ----------------------------------------------------------
    int GetBorderSize() const;
    void SetBorderSize(int nSize);
    void SetBorderSize(RECT rc);  // per-side widths
    int GetLeftBorderSize() const;
    void SetLeftBorderSize(int nSize);
    int GetTopBorderSize() const;
    void SetTopBorderSize(int nSize);
    int GetRightBorderSize() const;
    void SetRightBorderSize(int nSize);
    int GetBottomBorderSize() const;
    void SetBottomBorderSize(int nSize);
    int GetBorderStyle() const;
    void SetBorderStyle(int nStyle);
    SIZE GetBorderRound() const;
    void SetBorderRound(SIZE cxyRound);

    // ---- updating --------------------------------------------------------
    // Repaints the visible part of the control.
    void Invalidate();
    bool IsUpdateNeeded() const;
    // Asks for a new layout of this control.
    void NeedUpdate();
    // Asks for a new layout of the parent (the control's size changed).
    void NeedParentUpdate();

    // ---- misc ------------------------------------------------------------
    void SetVirtualWnd(LPCTSTR pstrValue);
    CUiString GetVirtualWnd() const;
    // Applies name="value" pairs separated by single blanks; returns this.
    CControlUI* ApplyAttributeList(LPCTSTR pstrList);
    bool IsCanDraw() const;
    void SetCanDraw(bool bCanDraw);

    // A region of the pixels of `hBitmap` outside the colour range
    // [dwColor, dwColor + dwTolerance] per channel, offset by (x, y). The
    // caller owns it; null when there is no bitmap.
    HRGN GetRegion(HBITMAP hBitmap, DWORD dwColor, DWORD dwTolerance, int xOffset, int yOffset);
    HRGN GetRegion(CUiString sImageName, DWORD dwColor, DWORD dwTolerance, int xOffset, int yOffset);

    CEventSource OnInit;
    CEventSource OnDestroy;
    CEventSource OnSize;
    CEventSource OnEvent;
    CEventSource OnNotify;

protected:
    // For a DoEvent to call first: a control that takes no mouse hands a
    // mouse event to the control it belongs to (MouseEventReceiver), or,
    // without one, lets the base handle it. True when it took the event:
    // the caller's DoEvent then does nothing more with it.
    bool PassMouseEventOn(TEventUI& event);
    // The control a mouse-disabled control hands mouse events to: its parent.
    virtual CControlUI* MouseEventReceiver() const { return m_pParent; }

    // While a container places its children right after invalidating its
    // own rectangle, invalidations of the children inside that rectangle
    // add nothing; they are skipped, which saves a system call per control
    // in every layout.
    class CoveredLayout {
    public:
        explicit CoveredLayout(const CControlUI& container);
        ~CoveredLayout();
        CoveredLayout(const CoveredLayout&) = delete;
        CoveredLayout& operator=(const CoveredLayout&) = delete;
        // True when `rc` of `manager` lies inside the innermost cover.
        static bool Covers(const CPaintManagerUI* manager, const RECT& rc);

    private:
        const CPaintManagerUI* m_manager;
        RECT m_rect;
        const CoveredLayout* m_previous;
        static const CoveredLayout* s_innermost;  // UI thread only
    };

    // A 100 % metric at the density the control is laid out for.
    int Scaled(int value) const;
    RECT Scaled(const RECT& rc) const;
    SIZE Scaled(const SIZE& sz) const;

    CPaintManagerUI* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    // The skin's 100 % values of the metrics below; the members the layout
    // reads are these at m_nMetricsDpi, each rounded once.
    struct SkinMetrics {
        RECT padding = {0, 0, 0, 0};
        SIZE xy = {0, 0};
        SIZE fixed = {0, 0};
        SIZE min = {0, 0};
        SIZE max = {9999, 9999};
        int borderSize = 0;
        RECT borderSizes = {0, 0, 0, 0};
        SIZE borderRound = {0, 0};
    } m_skin;
    int m_nMetricsDpi = 96;
    CUiString m_sVirtualWnd;
    CUiString m_sName;
    bool m_bUpdateNeeded = true;
    bool m_bMenuUsed = false;
    RECT m_rcItem = {0, 0, 0, 0};
    RECT m_rcPadding = {0, 0, 0, 0};
    SIZE m_cXY = {0, 0};
    SIZE m_cxyFixed = {0, 0};
    SIZE m_cxyMin = {0, 0};
    SIZE m_cxyMax = {9999, 9999};
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bKeyboardEnabled = true;
    bool m_bFocused = false;
    bool m_bFloat = false;
    bool m_bSetPos = false;  // guards OnSize against re-entry
    TRelativePosUI m_tRelativePos;
    CUiString m_sText;
    CUiString m_sToolTip;
    TCHAR m_chShortcut = 0;
    CUiString m_sUserData;
    UINT_PTR m_pTag = 0;
    UINT m_uUserValue = 0;
    DWORD m_dwBackColor = 0;
    DWORD m_dwBackColor2 = 0;
    DWORD m_dwBackColor3 = 0;
    CUiString m_sBkImage;
    CUiString m_sForeImage;
    BYTE m_nForeAlpha = 255;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    bool m_bColorHSL = false;
    int m_nBorderSize = 0;
    int m_nBorderStyle = PS_SOLID;
    int m_nTooltipWidth = 300;
    SIZE m_cxyBorderRound = {0, 0};
    RECT m_rcPaint = {0, 0, 0, 0};
    RECT m_rcBorderSize = {0, 0, 0, 0};
    bool m_bGifAdvance = false;
    int m_nGifDelay = 0;
    CGifHandler* m_pGifHandler = nullptr;
    bool m_bRandom = false;
    bool m_bRegionStale = false;
    Gdi::Region m_hRgn;
    bool m_bCanDraw = true;

private:
    WeakAnchor m_lifeAnchor;  // retired when the control starts dying

    void KillGifTimer();
    void ReleaseGif();
    void ReleaseRegion();
    // Intersects `rc` with the item rectangles of every ancestor; false
    // when nothing is left.
    bool ClipToAncestors(RECT& rc) const;
    void AfterSizeChange();
};

// A control's weak reference; null for null.
inline ControlRef WeakRefTo(CControlUI* control) { return control != nullptr ? control->GetWeakRef() : ControlRef(); }

}  // namespace SkinUI
