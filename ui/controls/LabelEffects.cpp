// The GDI+ path of label text: outline strokes, a gradient shadow and a
// gradient fill, drawn in that order so that the fill stays on top.
#include "ui/controls/LabelUI.h"

// GDI+ needs the COM property types that the lean Windows headers leave out.
#include <objidl.h>
#include <gdiplus.h>

namespace SkinUI {

namespace {

Gdiplus::Color ArgbWithAlpha(int alpha, DWORD argb)
{
    const BYTE a = static_cast<BYTE>(alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha));
    return Gdiplus::Color(a, static_cast<BYTE>(argb >> 16), static_cast<BYTE>(argb >> 8), static_cast<BYTE>(argb));
}

}  // namespace

void CLabelUI::PaintTextEffects(HDC hDC, const RECT& rcText)
{
    if (m_sEffectText.IsEmpty() || !hDC) return;
    const int length = m_sEffectText.GetLength();

    Gdiplus::Graphics graphics(hDC);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return;
    graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(m_nTextRenderingHint));

    HFONT hFont = m_pManager ? m_pManager->GetFont(m_iFont) : nullptr;
    Gdiplus::Font font(hDC, hFont);
    if (font.GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::StringFormat format;
    format.SetAlignment(static_cast<Gdiplus::StringAlignment>(m_uEffectAlign));
    format.SetLineAlignment(static_cast<Gdiplus::StringAlignment>(m_uEffectVAlign));

    const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rcText.left), static_cast<Gdiplus::REAL>(rcText.top),
                                static_cast<Gdiplus::REAL>(rcText.right - rcText.left),
                                static_cast<Gdiplus::REAL>(rcText.bottom - rcText.top));
    const int textHeight =
        m_pManager ? m_pManager->GetFontInfo(m_iFont)->tm.tmHeight : static_cast<int>(font.GetHeight(&graphics));
    const int gradientLength = m_nGradientLength != 0 ? m_nGradientLength : textHeight;

    // Gradient brushes run between two device points and repeat beyond
    // them; two equal points give no brush, and that pass is skipped.
    auto draw = [&](const Gdiplus::Color& from, const Gdiplus::Color& to, int secondY, const Gdiplus::RectF& at) {
        Gdiplus::LinearGradientBrush brush(Gdiplus::Point(m_nGradientAngle, 0), Gdiplus::Point(0, secondY), from, to);
        if (brush.GetLastStatus() != Gdiplus::Ok) return;
        brush.SetWrapMode(Gdiplus::WrapModeTile);
        graphics.DrawString(m_sEffectText, length, &font, at, &format, &brush);
    };
    auto shifted = [&layout](float dx, float dy) {
        return Gdiplus::RectF(layout.X + dx, layout.Y + dy, layout.Width, layout.Height);
    };

    if (m_bEnableStroke && m_dwStrokeColor != 0) {
        const Gdiplus::Color stroke = ArgbWithAlpha(m_nTransStroke, m_dwStrokeColor);
        const float offsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& o : offsets) draw(stroke, stroke, textHeight + 2, shifted(o[0], o[1]));
    }
    if (m_bEnableShadow && (m_dwTextShadowColorA != 0 || m_dwTextShadowColorB != 0)) {
        const DWORD first = m_dwTextShadowColorB == 0xFFFFFFFF ? m_dwTextShadowColorA : m_dwTextShadowColorB;
        draw(ArgbWithAlpha(m_nTransShadow1, first), ArgbWithAlpha(m_nTransShadow, m_dwTextShadowColorA), gradientLength,
             shifted(m_shadowDisplacement.x, m_shadowDisplacement.y));
    }
    const DWORD first = m_dwTextColor1 == 0xFFFFFFFF ? m_dwTextColor : m_dwTextColor1;
    draw(ArgbWithAlpha(m_nTransText1, first), ArgbWithAlpha(m_nTransText, m_dwTextColor), gradientLength, layout);
}

}  // namespace SkinUI
