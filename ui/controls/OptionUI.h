#pragma once
// A button with a selected state. Options that share a group name (kept by
// the paint manager) are exclusive: selecting one deselects the others, and
// only the newly selected one reports "selectchanged".

#include "ui/controls/ButtonUI.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
public:
    COptionUI() = default;
    // Leaves its group, also when it is no longer attached to the manager
    // that keeps the group (an option built and deleted by the builder
    // without ever joining a tree).
    ~COptionUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    // "click", then selects (in a group) or toggles (alone).
    bool Activate() override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    void SetEnabled(bool bEnable = true) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // Sends "selectchanged" when the selection changes, except when an
    // option of a group is deselected.
    virtual void Selected(bool bSelected);
    bool IsSelected() const;

    LPCTSTR GetGroup() const;
    // Moves the option to another group; the selection stays as it is.
    void SetGroup(LPCTSTR pStrGroupName = nullptr);
    LPCTSTR GetSelectedImage() const;
    void SetSelectedImage(LPCTSTR pStrImage);
    LPCTSTR GetSelectedHotImage() const;
    void SetSelectedHotImage(LPCTSTR pStrImage);
    // 0 reads as the manager's default font colour.
    void SetSelectedTextColor(DWORD dwTextColor);
    DWORD GetSelectedTextColor();
    void SetSelectedBkColor(DWORD dwBkColor);
    DWORD GetSelectBkColor() const;
    // The option's own fore image, drawn over its state image.
    LPCTSTR GetForeImage() const;
    void SetForeImage(LPCTSTR pStrImage);

protected:
    void JoinGroup();
    void LeaveGroup();

    bool m_bSelected = false;
    CUiString m_sGroupName;
    DWORD m_dwSelectedBkColor = 0;
    DWORD m_dwSelectedTextColor = 0;
    CUiString m_sSelectedImage;
    CUiString m_sSelectedHotImage;
    CUiString m_sOptionForeImage;
    // The manager whose group holds this option, whatever m_pManager says now.
    WeakRef<CPaintManagerUI> m_groupManager;
};

}  // namespace SkinUI
