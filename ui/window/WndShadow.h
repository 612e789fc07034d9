#pragma once
// A soft drop shadow around a frameless top-level window.
//
// The shadow is a separate layered, click-through popup owned by the window
// (the "parent") and kept around it. Being owned, it lies above the window
// in z-order (the system keeps owned windows above their owner), so its
// pixels over the window are left transparent. Its pixels come from a skin
// image stretched over the window plus a border (image mode, the
// "shadowimage" window attribute) or are computed from the window's shape
// (computed mode, when no image is set). The parent's window procedure is
// hooked so that the shadow follows moves, sizes, minimising, maximising and
// the window's end.
//
// UI thread only. Initialize runs once, before any shadow is created.

#include "ui/base/Platform.h"
#include "ui/base/UiRect.h"
#include "ui/base/UiString.h"

namespace SkinUI {

class CPaintManagerUI;

class CWndShadow {
public:
    CWndShadow();
    virtual ~CWndShadow();
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;

    // Looks up UpdateLayeredWindow and registers the shadow window class.
    // False when already done or when the system cannot draw layered
    // windows; windows then simply get no shadow.
    static bool Initialize(HINSTANCE hInstance);
    // The instance given to Initialize; null until then.
    static HINSTANCE GetInstance();

    // Image description in the skin's syntax, e.g.
    // "file='Aero.png' corner='10,10,10,11'" (at most 260 characters).
    void SetBkImage(LPCTSTR pstrImage);
    // How far the image-mode shadow reaches beyond the window on each side.
    void SetBorder(int left, int top, int right, int bottom);

    // Creates the shadow window for `hParentWnd` and hooks its procedure.
    // False when Initialize has not succeeded, the window already has a
    // shadow, or a window cannot be made.
    bool Create(HWND hParentWnd, CPaintManagerUI* pManager);

    // Computed mode. False, changing nothing, outside the ranges: size and
    // offsets -20..20, sharpness 0..20, darkness 0..255.
    bool SetSize(int nSize);
    bool SetSharpness(unsigned int nSharpness);
    bool SetDarkness(unsigned int nDarkness);
    bool SetPosition(int x, int y);
    bool SetColor(COLORREF color);

    // Shows or hides the shadow according to the parent's state.
    void Show(HWND hParentWnd);
    // Called for every painted frame of the parent: places and shows the
    // shadow once after each restore.
    void SetPrepared();
    // Redraws the shadow's pixels and places it.
    void Update(HWND hParentWnd);

    HWND GetHWND() const { return m_hWnd; }

private:
    enum Status : BYTE {
        kEnabled = 1,
        kShadowVisible = 2,
        kParentVisible = 4,
        kSuppressed = 8,  // while set the shadow stays hidden
    };

    static LRESULT CALLBACK ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void OnParentMessage(HWND hParent, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Gives the parent its procedure back and forgets it.
    void Detach();
    void Hide();
    bool IsImageMode() const { return !m_sBkImage.IsEmpty(); }
    // Where the shadow window goes for the parent's current rectangle; false
    // when the parent is gone or the result is not a usable window size.
    bool ShadowRect(HWND hParent, RECT& rc) const;
    // Places the shadow window and hands it the pixels selected into `dc`.
    void Present(const RECT& rc, HDC dc);
    // False (shadow hidden) when the image cannot be drawn.
    bool UpdateFromImage(HWND hParent);
    bool UpdateComputed(HWND hParent);

    HWND m_hWnd = nullptr;
    HWND m_hParent = nullptr;
    WNDPROC m_OriParentProc = nullptr;
    BYTE m_Status = 0;
    BYTE m_nDarkness = 150;
    BYTE m_nSharpness = 5;
    signed char m_nSize = 0;
    signed char m_nxOffset = 5;
    signed char m_nyOffset = 5;
    COLORREF m_Color = RGB(0, 0, 0);
    CUiString m_sBkImage;
    bool m_bImageMissing = false;  // the image failed to draw: not retried until it changes
    CPaintManagerUI* m_pManager = nullptr;
    bool m_bIsImagePrepared = false;
    CUiRect m_rcShadowBorder;
    SIZE m_szContent = {0, 0};  // size of the pixels last handed to the shadow window
};

}  // namespace SkinUI
