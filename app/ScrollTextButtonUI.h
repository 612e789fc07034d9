#pragma once
// A button that cycles through captions, each with its own link: it shows
// one caption, pauses, then scrolls the next one up from the bottom while
// the current one leaves upwards, and wraps around at the end of the list.
//
// The owner adds the captions and starts the first pause by setting timer
// kPauseTimer with GetPauseInterval() on this control; from then on the
// control drives itself with its two paint-manager timers. A click reports
// "click" like any button; the owner asks GetCurrentUrl() for the link of
// the caption the user is looking at.

#include "ui/controls/ButtonUI.h"

#include <string>
#include <vector>

namespace Vornex {

class CScrollTextButtonUI : public SkinUI::CButtonUI {
public:
    static constexpr UINT kStepTimer = 28;   // one scroll step
    static constexpr UINT kPauseTimer = 29;  // end of a pause
    static constexpr int kStepPixels = 2;

    CScrollTextButtonUI() = default;
    ~CScrollTextButtonUI() override;
    CScrollTextButtonUI(const CScrollTextButtonUI&) = delete;
    CScrollTextButtonUI& operator=(const CScrollTextButtonUI&) = delete;

    // Appends a caption and its link (null: no link). Neither repaints nor
    // starts a timer.
    void AddItem(LPCTSTR text, LPCTSTR url);
    // The link of the caption that covers most of the control right now:
    // the first caption until the first scroll, then the caption at rest,
    // or, in the middle of a scroll, whichever of the two shows more.
    // Empty when there are no captions.
    std::wstring GetCurrentUrl() const;

    int GetPauseInterval() const { return m_nPauseMs; }
    int GetStepInterval() const { return m_nStepMs; }
    size_t GetItemCount() const { return m_vecTexts.size(); }

    void DoEvent(SkinUI::TEventUI& event) override;
    void PaintText(HDC hDC) override;

private:
    // The distance one scroll travels: the fixed height, else the height
    // the layout gave, and never less than one step.
    int ScrollDistance() const;
    size_t NextIndex() const { return m_nIndex + 1 < m_vecTexts.size() ? m_nIndex + 1 : 0; }
    void OnStep();
    void OnPauseEnded();

    bool m_bScrolling = false;  // the first pause has ended
    size_t m_nIndex = 0;        // the caption that scrolls out
    int m_nOffset = 0;          // pixels moved in the current scroll
    int m_nPauseMs = 3000;
    int m_nStepMs = 60;
    std::vector<std::wstring> m_vecTexts;
    std::vector<std::wstring> m_vecUrls;
};

}  // namespace Vornex
