#pragma once
// A multi-line label whose marked-up links can be clicked: the hand cursor
// over a link, the notification "link" (wParam = the link's index) when one
// is clicked.

#include "ui/controls/LabelUI.h"

namespace SkinUI {

class CTextUI : public CLabelUI {
public:
    static constexpr int kMaxLinks = 8;

    CTextUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    // The text of link `iIndex` as last drawn; null when there is none.
    CUiString* GetLinkContent(int iIndex);

    void DoEvent(TEventUI& event) override;
    // The size of the text wrapped in the available width (or the fixed
    // width when larger), padding included.
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintText(HDC hDC) override;

protected:
    // The index of the link under `pt`, or -1.
    int LinkAt(POINT pt) const;

    int m_nLinks = 0;
    RECT m_rcLinks[kMaxLinks] = {};
    CUiString m_sLinks[kMaxLinks];
    int m_nHoverLink = -1;
};

}  // namespace SkinUI
