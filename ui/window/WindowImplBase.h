#pragma once
// The base of every skinned top-level window.
//
// A subclass names its window class, skin folder and skin file (and, if it
// wishes, where the skin comes from); the base builds the control tree from
// the skin when the window is created, removes the system frame, makes the
// caption band drag the window and the size box resize it, keeps the system
// buttons ("btn_sys_close", "btn_sys_max", "btn_sys_restore", "btn_sys_min")
// working, clips the window to its rounded corners, attaches the drop shadow
// the skin asks for, and routes control notifications to OnClick and the
// other handlers through its message map.
//
// A skin that cannot be built is fatal: the user sees "加载资源文件失败" and
// the process ends with exit code 1. The window object is not deleted by the
// base: a subclass that owns itself calls DeleteWhenUnwound in OnFinalMessage.

#include "ui/builder/DialogBuilder.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/window/NotifyPump.h"
#include "ui/window/WindowWnd.h"

namespace SkinUI {

class CWndShadow;

// Where a window's skin comes from.
enum UI_RESOURCETYPE {
    UI_RES_FILE = 1,         // files in the skin folder (default)
    UI_RES_ZIP = 2,          // a ZIP file in the skin folder (GetZIPFileName)
    UI_RES_RESOURCE = 3,     // markup in a resource of type "xml" (GetSkinFile is its decimal id)
    UI_RES_ZIPRESOURCE = 4,  // a ZIP archive in a resource of type "DAT" (GetResourceID)
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    WindowImplBase();
    virtual ~WindowImplBase();

    virtual void InitWindow() {}
    virtual void OnCloseWnd();
    virtual HDC GetPaintDC();
    virtual HDC GetMemDC() { return nullptr; }
    virtual void ReleaseMemDC() {}
    virtual void SetCanDraw(bool bCanDraw);
    virtual bool IsCanDraw();
    virtual void ReDraw();
    virtual void OnClick(TNotifyUI& msg);
    virtual void OnSelectChanged(TNotifyUI& msg) {}
    virtual void OnPrepare(TNotifyUI& msg) {}

    // INotifyUI: "windowinit" reaches OnPrepare first; then the message map.
    void Notify(TNotifyUI& msg) override;
    // IMessageFilterUI: Alt+F4 clicks the close button (modal loops only).
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    // IDialogBuilderCallback: the base knows no tags of its own.
    CControlUI* CreateControl(LPCTSTR pstrClass) override;

    CPaintManagerUI& GetPaintManager() { return m_PaintManager; }

protected:
    virtual CUiString GetSkinFolder() = 0;
    virtual CUiString GetSkinFile() = 0;
    virtual UI_RESOURCETYPE GetResourceType() const { return UI_RES_FILE; }
    virtual CUiString GetZIPFileName() const { return CUiString(); }
    virtual LPCTSTR GetResourceID() const { return L""; }

    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    // The window moved to a monitor of another density (or the density
    // changed): everything is scaled again from its 100 % value and the
    // window takes the rectangle the system suggests, so that it keeps its
    // place under the pointer and its size in the user's eyes.
    virtual LRESULT OnDpiChanged(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LONG GetStyle();
    virtual LRESULT OnCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMenuClick(UINT nCommandId, BOOL& bHandled) { return 1; }
    // Controls in the caption band that take the mouse instead of dragging.
    virtual bool HitTestControl(CControlUI* pControl);

    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

    // Clips the window to the skin's rounded corners at its current size.
    void UpdateRegion();
    static UINT RegionMessage();

    CPaintManagerUI m_PaintManager;
    CControlUI* m_pbtnClose = nullptr;
    CControlUI* m_pbtnMax = nullptr;
    CControlUI* m_pbtnRestore = nullptr;
    CControlUI* m_pbtnMin = nullptr;
    CWndShadow* m_pWndShadow = nullptr;
    bool m_bRegionPending = false;
    // The locked skin archive resource, shared by every window.
    static LPBYTE m_lpResourceZIPBuffer;

    UI_DECLARE_MESSAGE_MAP(WindowImplBase)
};

}  // namespace SkinUI
