#pragma once
// Binds one window object to one native window: registers or superclasses
// the window class, creates or subclasses the window, routes its messages to
// the object's HandleMessage and tells the object when the window is gone
// (OnFinalMessage, after which the object may ask to be deleted). Also the small
// chores of a top-level window: centring, the modal loop, icons, resizing.
//
// UI thread only: an object is used on the thread that created its window.

#include "ui/base/Platform.h"
#include "ui/base/UiRect.h"
#include "ui/base/WeakRef.h"

namespace SkinUI {

class CWindowWnd {
public:
    CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Reads as gone from the window's final message on (and after the
    // object is deleted): code that may outlive the window holds this, not
    // the pointer. A window made again later gives new references.
    WeakRef<CWindowWnd> GetWeakRef() { return WeakRef<CWindowWnd>(this, m_windowAnchor); }

    // True when the class exists afterwards (registered now or before).
    bool RegisterWindowClass();
    bool RegisterSuperclass();

    // Null when the class cannot be registered or the window not created.
    HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
                HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
    HWND CreateUiWindow(HWND hwndParent, LPCTSTR pstrWindowName, DWORD dwStyle = 0, DWORD dwExStyle = 0);

    // Takes over an existing window; null when its procedure cannot be
    // replaced. Unsubclass gives the window its own procedure back.
    HWND Subclass(HWND hWnd);
    void Unsubclass();

    void ShowWindow(bool bShow = true, bool bTakeFocus = true);
    // Runs a message loop until the window is gone, with its owner disabled
    // meanwhile. Returns the wParam of the WM_CLOSE that ended it (0 if
    // none). A WM_QUIT ends the loop and is posted again for the outer loop.
    UINT ShowModal();
    virtual void Close(UINT nRet = IDOK);
    // Centres on the owner (or the work area when the owner is minimised,
    // hidden or absent), kept inside the nearest monitor's work area.
    void CenterWindow();
    void SetIcon(UINT nRes);

    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0L);
    LRESULT PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0L);
    // -1 keeps the current client width or height.
    void ResizeClient(int cx = -1, int cy = -1);
    // False when the style would not change; otherwise stores it and, with
    // flags, has the frame recomputed through SetWindowPos.
    bool ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    bool ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    void MoveWindow(int x, int y, int cx, int cy, bool bRepaint = true);
    // `rc` in client coordinates of this window.
    void MoveWindow(const RECT& rc, bool bRepaint = true);
    void FullScreen();
    void RestoreScreen();

protected:
    virtual ~CWindowWnd();

    // Asks for this object to be deleted once the outermost handling of a
    // message of its window (or its modal loop) has returned, at once when
    // none is running. A window that owns itself calls this from
    // OnFinalMessage instead of deleting itself: the window may die inside
    // one of its own handlers (a click that closes it, a modal loop that
    // ends it), and every frame below still uses the object.
    void DeleteWhenUnwound();

    virtual LPCTSTR GetWindowClassName() const = 0;
    virtual LPCTSTR GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);

    static LRESULT CALLBACK __WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK __ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_OldWndProc;
    bool m_bSubclassed = false;
    CUiRect m_rcRestore;

private:
    // Counts the frames of this object's message handling on the stack; the
    // outermost one to end carries out a deletion asked for meanwhile.
    class HandlingScope {
    public:
        explicit HandlingScope(CWindowWnd& window);
        ~HandlingScope();
        HandlingScope(const HandlingScope&) = delete;
        HandlingScope& operator=(const HandlingScope&) = delete;

    private:
        CWindowWnd& m_window;
    };

    // Where a window keeps its object (see the .cpp).
    struct ObjectSlot;
    static const ObjectSlot kUserDataSlot;
    static const ObjectSlot kPropertySlot;
    // The one body of both window procedures.
    static LRESULT RouteMessage(const ObjectSlot& slot, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    void ReplaceIcons(HICON hBig, HICON hSmall);
    void BindWindow(HWND hWnd);
    // The window is gone: references read as gone, the object is told.
    void FinishWindow(HWND hWnd);

    WeakAnchor m_windowAnchor;
    int m_handlingDepth = 0;
    bool m_deleteWhenUnwound = false;

    LONG_PTR m_previousUserData = 0;  // a subclassed window's own user data, given back by Unsubclass
    HICON m_hIconBig = nullptr;       // owned: loaded by SetIcon, freed when replaced or with the window
    HICON m_hIconSmall = nullptr;
};

}  // namespace SkinUI
