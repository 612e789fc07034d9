#pragma once
// A control that draws its text inside its rectangle: a font of the
// manager's table, colours, padding and a DrawText style, optionally through
// the inline markup of the render engine, optionally with GDI+ effects
// (gradient fill, stroke, shadow). Buttons and options derive from it.

#include "ui/controls/ControlUI.h"
#include "ui/controls/GdiplusSession.h"
#include "ui/controls/LabelStyle.h"

namespace Gdiplus {
class RectF;
}

namespace SkinUI {

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    ~CLabelUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    void SetTextStyle(UINT uStyle);
    UINT GetTextStyle() const;
    // 0 takes the manager's default colours when painting.
    void SetTextColor(DWORD dwTextColor);
    DWORD GetTextColor() const;
    void SetDisabledTextColor(DWORD dwTextColor);
    DWORD GetDisabledTextColor() const;
    // An index into the manager's font table; -1 is the default font.
    void SetFont(int index);
    int GetFont() const;
    RECT GetTextPadding() const;
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const;
    void SetShowHtml(bool bShowHtml = true);

    // Fixed height: the fixed size; otherwise the fixed width and the
    // font's height plus 4.
    SIZE EstimateSize(SIZE szAvailable) override;
    void RescaleMetrics() override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintText(HDC hDC) override;

    // ---- GDI+ effects (stored; drawn at the next paint) --------------------
    void SetEnabledEffect(bool bEnable);
    bool GetEnabledEffect() const;
    // 0..5 (GDI+ TextRenderingHint); other values become 0.
    void SetTextRenderingHintAntiAlias(int nHint);
    int GetTextRenderingHintAntiAlias() const;
    // Ignored for angles outside -180..180.
    void SetShadowOffset(int nOffset, int nAngle);
    Gdiplus::RectF GetShadowOffset() const;
    SIZE GetShadowOffset1() const;  // (offset, angle)
    void SetTextShadowColorA(DWORD dwColor);
    DWORD GetTextShadowColorA() const;
    void SetTextShadowColorB(DWORD dwColor);
    DWORD GetTextShadowColorB() const;
    void SetTransShadow(int nTrans);
    int GetTransShadow() const;
    void SetTransShadow1(int nTrans);
    int GetTransShadow1() const;
    void SetTransText(int nTrans);
    int GetTransText() const;
    void SetTransText1(int nTrans);
    int GetTransText1() const;
    void SetTransStroke(int nTrans);
    int GetTransStroke() const;
    void SetGradientAngle(int nAngle);
    int GetGradientAngle() const;
    void SetGradientLength(int nLength);
    int GetGradientLength() const;
    void SetEnabledStroke(bool bEnable);
    bool GetEnabledStroke() const;
    void SetStrokeColor(DWORD dwColor);
    DWORD GetStrokeColor() const;
    void SetEnabledShadow(bool bEnable);
    bool GetEnabledShadow() const;
    void SetTextColor1(DWORD dwColor);
    DWORD GetTextColor1() const;
    UINT GetEffectAlign() const;
    UINT GetEffectVAlign() const;
    // Switches word-breaking multi-line text on or off.
    void SetMultiLine(bool bMultiLine);
    bool GetMultiLine() const;
    UINT GetMultiLineStyle() const;

protected:
    // Replaces text colours of 0 by the manager's defaults (kept).
    void ResolveDefaultColors();
    // The item rectangle less the text padding.
    RECT TextRect() const;
    // Draws the text through GDI+ with stroke, shadow and gradient.
    void PaintTextEffects(HDC hDC, const RECT& rcText);

    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    int m_iFont = -1;
    UINT m_uTextStyle = LabelStyle::kDefaultStyle;
    RECT m_rcTextPadding = {0, 0, 0, 0};
    RECT m_skinTextPadding = {0, 0, 0, 0};  // at 100 %
    bool m_bShowHtml = false;

    int m_nShadowOffset = 0;
    int m_nShadowAngle = 0;
    int m_nTransShadow = 60;
    int m_nTransShadow1 = 60;
    int m_nTransText = 168;
    int m_nTransText1 = 168;
    int m_nTransStroke = 255;
    int m_nGradientLength = 0;
    int m_nGradientAngle = 0;
    bool m_bEnableEffect = false;
    bool m_bEnableStroke = false;
    bool m_bEnableShadow = false;
    DWORD m_dwTextColor1 = 0;
    DWORD m_dwTextShadowColorA = 0;
    DWORD m_dwTextShadowColorB = 0;
    DWORD m_dwStrokeColor = 0;
    LabelStyle::ShadowDisplacement m_shadowDisplacement;
    CUiString m_sEffectText;
    int m_nTextRenderingHint = 0;
    bool m_bMultiLine = false;
    UINT m_uMultiLineStyle = LabelStyle::kSingleLine;
    UINT m_uEffectAlign = 0;
    UINT m_uEffectVAlign = 1;

private:
    GdiplusSession m_gdiplus;
};

}  // namespace SkinUI
