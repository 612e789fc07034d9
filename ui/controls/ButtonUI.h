#pragma once
// A label that reacts to the mouse and the keyboard: hot, pushed, focused
// and disabled states with an image and a text colour for each, and the
// notification "click" when it is activated (released inside after a
// press, or space / return while it has the focus).

#include "ui/controls/LabelUI.h"
#include "ui/controls/UiState.h"

namespace SkinUI {

class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    // Sends "click"; false when the button is hidden or disabled.
    bool Activate() override;
    // A disabled button forgets its hot and pushed states.
    void SetEnabled(bool bEnable = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    // Fixed height: the fixed size; otherwise the fixed width and the
    // font's height plus 8.
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintText(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

    LPCTSTR GetNormalImage() const;
    void SetNormalImage(LPCTSTR pStrImage);
    LPCTSTR GetHotImage() const;
    void SetHotImage(LPCTSTR pStrImage);
    LPCTSTR GetPushedImage() const;
    void SetPushedImage(LPCTSTR pStrImage);
    LPCTSTR GetFocusedImage() const;
    void SetFocusedImage(LPCTSTR pStrImage);
    LPCTSTR GetDisabledImage() const;
    void SetDisabledImage(LPCTSTR pStrImage);
    // The plain fore image is the control's (SetForeImage).
    LPCTSTR GetHotForeImage() const;
    void SetHotForeImage(LPCTSTR pStrImage);

    void SetHotBkColor(DWORD dwColor);
    DWORD GetHotBkColor() const;
    void SetHotTextColor(DWORD dwColor);
    DWORD GetHotTextColor() const;
    void SetPushedTextColor(DWORD dwColor);
    DWORD GetPushedTextColor() const;
    void SetFocusedTextColor(DWORD dwColor);
    DWORD GetFocusedTextColor() const;
    // Resizes the button to its text after painting.
    void SetAdaptive(bool bAdaptive);
    bool GetAdaptive() const;
    void SetHtmlTextHeight(int nHeight);
    int GetHtmlTextHeight() const;

    UINT GetButtonState() const { return m_uButtonState; }

protected:
    // Refreshes the focused and disabled bits from the control's flags.
    void UpdateStateBits();
    // Draws `image` through the control's image strings; an image that
    // fails to draw is emptied so that it is not tried again.
    bool DrawStateImage(HDC hDC, CUiString& image);
    // The colour the text takes in the current state.
    DWORD StateTextColor() const;
    // Resizes to the drawn text (adaptive buttons).
    void AdaptToText(HDC hDC, int drawnHeight);

    UINT m_uButtonState = 0;
    DWORD m_dwHotBkColor = 0;
    DWORD m_dwHotTextColor = 0;
    DWORD m_dwPushedTextColor = 0;
    DWORD m_dwFocusedTextColor = 0;
    bool m_bAdaptive = false;
    bool m_bShowHand = false;
    int m_nHtmlTextHeight = 0;
    CUiString m_sNormalImage;
    CUiString m_sHotImage;
    CUiString m_sHotForeImage;
    CUiString m_sPushedImage;
    CUiString m_sPushedForeImage;
    CUiString m_sFocusedImage;
    CUiString m_sDisabledImage;
};

}  // namespace SkinUI
