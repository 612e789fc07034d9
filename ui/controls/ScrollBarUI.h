#pragma once
// The framework's scroll bar: a strip with an optional button at each end, a
// proportional thumb in the track between them and a grip ("rail") drawn in
// the middle of the thumb. A container that owns the bar is scrolled through
// its own scrolling operations; a bar without owner keeps its position and
// reports every scroll with the notification "scroll". Holding a button or
// the track repeats the step after 250 ms and then every 50 ms.

#include "ui/controls/ControlUI.h"
#include "ui/controls/UiState.h"
#include "ui/controls/ScrollBarGeometry.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    // The control timer that drives dragging and auto-repeat.
    static constexpr UINT kRepeatTimerId = 10;
    static constexpr UINT kRepeatElapse = 50;
    // Ticks of the timer before a held button starts repeating (250 ms).
    static constexpr int kRepeatDelayTicks = 5;

    CScrollBarUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    // Neither repaints nor asks for a layout: the owner places the bar.
    void SetVisible(bool bVisible = true) override;
    void SetEnabled(bool bEnable = true) override;
    void SetFocus() override;
    void SetPos(RECT rc) override;
    void DoEvent(TEventUI& event) override;
    // A bar that takes no mouse hands mouse events to the container it scrolls.
    CControlUI* MouseEventReceiver() const override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;

    CContainerUI* GetOwner() const;
    void SetOwner(CContainerUI* pOwner);
    bool IsHorizontal() const;
    // A horizontal bar is 11 pixels high, a vertical one 11 pixels wide,
    // unless sizes were set.
    void SetHorizontal(bool bHorizontal = true);
    int GetScrollRange() const;
    // Never negative; the position is lowered into a smaller range.
    void SetScrollRange(int nRange);
    int GetScrollPos() const;
    // Clamped to [0, range].
    void SetScrollPos(int nPos);
    int GetLineSize() const;
    void SetLineSize(int nSize);
    bool GetShowButton1() const;
    void SetShowButton1(bool bShow);
    bool GetShowButton2() const;
    void SetShowButton2(bool bShow);

    // The parts as last laid out, in window client coordinates.
    const RECT& GetButton1Rect() const { return m_parts.button1; }
    const RECT& GetButton2Rect() const { return m_parts.button2; }
    const RECT& GetThumbRect() const { return m_parts.thumb; }
    UINT GetButton1State() const { return m_uButton1State; }
    UINT GetButton2State() const { return m_uButton2State; }
    UINT GetThumbState() const { return m_uThumbState; }

    LPCTSTR GetButton1NormalImage() const;
    void SetButton1NormalImage(LPCTSTR pStrImage);
    LPCTSTR GetButton1HotImage() const;
    void SetButton1HotImage(LPCTSTR pStrImage);
    LPCTSTR GetButton1PushedImage() const;
    void SetButton1PushedImage(LPCTSTR pStrImage);
    LPCTSTR GetButton1DisabledImage() const;
    void SetButton1DisabledImage(LPCTSTR pStrImage);
    LPCTSTR GetButton2NormalImage() const;
    void SetButton2NormalImage(LPCTSTR pStrImage);
    LPCTSTR GetButton2HotImage() const;
    void SetButton2HotImage(LPCTSTR pStrImage);
    LPCTSTR GetButton2PushedImage() const;
    void SetButton2PushedImage(LPCTSTR pStrImage);
    LPCTSTR GetButton2DisabledImage() const;
    void SetButton2DisabledImage(LPCTSTR pStrImage);
    LPCTSTR GetThumbNormalImage() const;
    void SetThumbNormalImage(LPCTSTR pStrImage);
    LPCTSTR GetThumbHotImage() const;
    void SetThumbHotImage(LPCTSTR pStrImage);
    LPCTSTR GetThumbPushedImage() const;
    void SetThumbPushedImage(LPCTSTR pStrImage);
    LPCTSTR GetThumbDisabledImage() const;
    void SetThumbDisabledImage(LPCTSTR pStrImage);
    LPCTSTR GetRailNormalImage() const;
    void SetRailNormalImage(LPCTSTR pStrImage);
    LPCTSTR GetRailHotImage() const;
    void SetRailHotImage(LPCTSTR pStrImage);
    LPCTSTR GetRailPushedImage() const;
    void SetRailPushedImage(LPCTSTR pStrImage);
    LPCTSTR GetRailDisabledImage() const;
    void SetRailDisabledImage(LPCTSTR pStrImage);
    LPCTSTR GetBkNormalImage() const;
    void SetBkNormalImage(LPCTSTR pStrImage);
    LPCTSTR GetBkHotImage() const;
    void SetBkHotImage(LPCTSTR pStrImage);
    LPCTSTR GetBkPushedImage() const;
    void SetBkPushedImage(LPCTSTR pStrImage);
    LPCTSTR GetBkDisabledImage() const;
    void SetBkDisabledImage(LPCTSTR pStrImage);

    void PaintBk(HDC hDC);
    void PaintButton1(HDC hDC);
    void PaintButton2(HDC hDC);
    void PaintThumb(HDC hDC);
    void PaintRail(HDC hDC);

private:
    enum Part {
        kButton1,
        kButton2,
        kThumb,
        kRail,
        kBk,
        kPartCount
    };
    enum ImageState {
        kNormal,
        kHot,
        kPushed,
        kDisabled,
        kStateCount
    };

    LPCTSTR Image(Part part, ImageState state) const { return m_images[part][state]; }
    void SetImage(Part part, ImageState state, LPCTSTR pStrImage);
    // Draws the image of `part` for `state` (falling back to the normal
    // image), into `rcDest` given relative to the item. False when nothing
    // was drawn; images that fail are emptied.
    bool PaintPartImage(Part part, UINT& state, HDC hDC, const RECT* rcDest);
    // Draws the image of `part` through a dest modifier covering `rc`
    // (in window coordinates); false when nothing was drawn.
    bool PaintPartAt(Part part, UINT& state, HDC hDC, const RECT& rc);
    RECT RelativeTo(const RECT& rc) const;

    void LineBack();
    void LineForward();
    void PageBack();
    void PageForward();
    // A page step towards `pt` (client coordinates) relative to the thumb.
    void PageTowards(POINT pt);
    // Moves the owner (or the bar) to the dragged thumb's position.
    void ApplyDrag();
    // Owner-less bars report each scroll to the window.
    void ReportScroll();
    bool IsPressed() const;

    bool m_bHorizontal = false;
    int m_nRange = 100;
    int m_nScrollPos = 0;
    int m_nLineSize = 8;
    CContainerUI* m_pOwner = nullptr;
    POINT m_ptLastMouse = {0, 0};
    int m_nLastScrollPos = 0;
    int m_nLastScrollOffset = 0;
    int m_nScrollRepeatDelay = 0;
    bool m_bShowButton1 = true;
    bool m_bShowButton2 = true;
    UINT m_uButton1State = 0;
    UINT m_uButton2State = 0;
    UINT m_uThumbState = 0;
    ScrollBarGeometry::Parts m_parts;
    CUiString m_images[kPartCount][kStateCount];
    CUiString m_sImageModify;
};

}  // namespace SkinUI
