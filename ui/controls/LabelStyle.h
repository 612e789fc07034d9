#pragma once
// The text-style arithmetic of labels: what the "align" words, the effect
// alignment words and the shadow offset mean. Plain computation on the
// attribute text, shared by both builds.

#include "ui/base/Platform.h"

namespace SkinUI {
namespace LabelStyle {

// DrawText flags as the labels use them (the values of the Win32 API).
constexpr UINT kTop = 0x0000;
constexpr UINT kCenter = 0x0001;
constexpr UINT kRight = 0x0002;
constexpr UINT kVCenter = 0x0004;
constexpr UINT kBottom = 0x0008;
constexpr UINT kWordBreak = 0x0010;
constexpr UINT kSingleLine = 0x0020;
constexpr UINT kEditControl = 0x2000;
constexpr UINT kEndEllipsis = 0x8000;

// The style a single-line label starts with, and the line style of a
// multi-line one.
constexpr UINT kDefaultStyle = kVCenter | kSingleLine;
constexpr UINT kMultiLineStyle = kWordBreak | kEditControl;

// The text style an "align" value gives: every word of the table found in
// `value` sets the style, a later table word winning; a value with none of
// them leaves `current` as it is. `lineStyle` is the label's multi-line
// style (kSingleLine or kMultiLineStyle) that the "top" and "bottom" words
// keep. Null is treated as empty.
UINT ApplyAlign(const wchar_t* value, UINT current, UINT lineStyle);

// Sets or clears the end ellipsis, independently of the alignment.
UINT ApplyEndEllipsis(UINT current, bool ellipsis);

// The GDI+ string alignment an "effectalign" value names: 0 near ("left"),
// 1 centre, 2 far ("right"); `current` when it names none.
UINT ParseEffectAlign(const wchar_t* value, UINT current);
// The line alignment of "effectvalign": "top" 0, "center" 1, "bottom" 2.
UINT ParseEffectVAlign(const wchar_t* value, UINT current);

// GDI+ text rendering hints run from 0 to 5; anything else is 0.
int ClampRenderingHint(int hint);

// How far the effect shadow is moved from the text, by offset and angle
// alone: the same displacement whether the offset comes from markup or is
// set after layout. Angles outside -180..180 are refused (false).
struct ShadowDisplacement {
    float x = 0;
    float y = 0;
};
bool ComputeShadowDisplacement(int offset, int angle, ShadowDisplacement& out);

}  // namespace LabelStyle
}  // namespace SkinUI
