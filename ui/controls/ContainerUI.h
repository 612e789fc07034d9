#pragma once
// A control that owns an ordered list of children, optional scroll bars, an
// inset and a gap between children. It forwards attachment, visibility, hit
// testing and painting to the children, scrolls them and places the floating
// ones; layouts decide where the others go.

#include "ui/controls/ControlUI.h"

namespace SkinUI {

class CScrollBarUI;

class IContainerUI {
public:
    virtual CControlUI* GetItemAt(int iIndex) const = 0;
    virtual int GetItemIndex(CControlUI* pControl) const = 0;
    virtual bool SetItemIndex(CControlUI* pControl, int iIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* pControl) = 0;
    virtual bool AddAt(CControlUI* pControl, int iIndex) = 0;
    virtual bool Remove(CControlUI* pControl) = 0;
    virtual bool RemoveAt(int iIndex) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    LPCTSTR GetClass() const override;
    // "IContainer" gives the IContainerUI part, "Container" the object.
    LPVOID GetInterface(LPCTSTR pstrName) override;

    CControlUI* GetItemAt(int iIndex) const override;
    int GetItemIndex(CControlUI* pControl) const override;
    bool SetItemIndex(CControlUI* pControl, int iIndex) override;
    int GetCount() const override;
    // Takes ownership of the child (see SetAutoDestroy).
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    // With auto destroy the child is deleted: later, through the manager,
    // with delayed destroy (safe from inside the child's own event), else
    // at once.
    bool Remove(CControlUI* pControl) override;
    bool RemoveAt(int iIndex) override;
    void RemoveAll() override;

    void DoEvent(TEventUI& event) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetMouseEnabled(bool bEnable = true) override;

    virtual RECT GetInset() const;
    virtual void SetInset(RECT rcInset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int iPadding);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool bAuto);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool bDelayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool bEnable = true);
    // The first visible, enabled "ListItem" child from `iIndex` on in the
    // given direction; -1 when there is none.
    virtual int FindSelectable(int iIndex, bool bForward = true) const;

    // (horizontal, vertical) of the visible bars; 0 for a hidden or absent bar.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE szPos);
    virtual void LineUp(int nLine = 8);
    virtual void LineDown(int nLine = 8);
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool bEnableVertical = true, bool bEnableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;

    void SetPos(RECT rc) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void RescaleMetrics() override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;

    // Sub-controls by name (case-insensitive), through the manager.
    CControlUI* FindSubControl(LPCTSTR pstrSubControlName);
    bool SetSubControlText(LPCTSTR pstrSubControlName, LPCTSTR pstrText);
    bool SetSubControlFixedHeight(LPCTSTR pstrSubControlName, int cy);
    bool SetSubControlFixedWdith(LPCTSTR pstrSubControlName, int cx);
    bool SetSubControlUserData(LPCTSTR pstrSubControlName, LPCTSTR pstrText);
    CUiString GetSubControlText(LPCTSTR pstrSubControlName);
    int GetSubControlFixedHeight(LPCTSTR pstrSubControlName);
    int GetSubControlFixedWdith(LPCTSTR pstrSubControlName);
    CUiString GetSubControlUserData(LPCTSTR pstrSubControlName);

protected:
    // Places floating child `iIndex` by its fixed position (and relative
    // position) inside the item rectangle.
    virtual void SetFloatPos(int iIndex);
    // Shows, hides, sizes and places the scroll bars for content of the
    // given size inside `rc`, laying out again when a bar appears or goes.
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

    // The item rectangle less the inset and the visible scroll bars.
    RECT GetClientRect() const;
    // Stacks the non-floating children inside `client` (vertically or
    // horizontally) and places the floating ones; returns the extent the
    // content needs along the axis.
    int StackChildren(bool bVertical, const RECT& client);
    // Deletes a child that has left the container, or hands it to the
    // manager's delayed cleanup.
    void DestroyChild(CControlUI* pControl);

    // The scrolling commands: a relative move of the scroll position, and
    // the line and page steps it is made of.
    void ScrollBy(int dx, int dy);
    int LineHeight(int nLine) const;
    int PageHeight() const;
    int PageWidth() const;

    CStdPtrArray m_items;
    RECT m_rcInset = {0, 0, 0, 0};
    int m_iChildPadding = 0;
    RECT m_skinInset = {0, 0, 0, 0};  // 100 % values of the two above
    int m_skinChildPadding = 0;
    bool m_bAutoDestroy = true;
    bool m_bDelayedDestroy = true;
    bool m_bMouseChildEnabled = true;
    bool m_bScrollProcess = false;
    CScrollBarUI* m_pVerticalScrollBar = nullptr;
    CScrollBarUI* m_pHorizontalScrollBar = nullptr;
};

}  // namespace SkinUI
