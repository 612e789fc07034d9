#include "ui/controls/LabelStyle.h"

#include <cwchar>

namespace SkinUI {
namespace LabelStyle {

namespace {

bool Contains(const wchar_t* value, const wchar_t* word) { return value && std::wcsstr(value, word) != nullptr; }

}  // namespace

UINT ApplyAlign(const wchar_t* value, UINT current, UINT lineStyle)
{
    // Searched in this order; each word found replaces the whole style, so
    // "left+top right+bottom" ends as right+bottom.
    const struct {
        const wchar_t* word;
        UINT style;
    } kWords[] = {
        {L"left+top", lineStyle},
        {L"left+vcenter", kVCenter | kSingleLine},
        {L"left+bottom", lineStyle | kBottom},
        {L"right+top", lineStyle | kRight},
        {L"right+vcenter", kRight | kVCenter | kSingleLine},
        {L"right+bottom", lineStyle | kRight | kBottom},
        {L"center+top", kCenter | kSingleLine},
        {L"center+vcenter", kCenter | kVCenter | kSingleLine},
        {L"center+bottom", kCenter | kBottom | kSingleLine},
    };
    for (const auto& entry : kWords)
        if (Contains(value, entry.word)) current = entry.style;
    return current;
}

UINT ApplyEndEllipsis(UINT current, bool ellipsis)
{
    return ellipsis ? current | kEndEllipsis : current & ~kEndEllipsis;
}

UINT ParseEffectAlign(const wchar_t* value, UINT current)
{
    if (Contains(value, L"left")) return 0;
    if (Contains(value, L"center")) return 1;
    if (Contains(value, L"right")) return 2;
    return current;
}

UINT ParseEffectVAlign(const wchar_t* value, UINT current)
{
    if (Contains(value, L"top")) return 0;
    if (Contains(value, L"center")) return 1;
    if (Contains(value, L"bottom")) return 2;
    return current;
}

int ClampRenderingHint(int hint) { return hint < 0 || hint > 5 ? 0 : hint; }

bool ComputeShadowDisplacement(int offset, int angle, ShadowDisplacement& out)
{
    if (angle < -180 || angle > 180) return false;
    const float d = static_cast<float>(offset);
    if (angle >= 0)
        out.x = -d;
    else if (angle > -180)
        out.x = d;
    else
        out.x = 0;
    if (angle > -90 && angle <= 90)
        out.y = -d;
    else if (angle == -90)
        out.y = 0;
    else
        out.y = d;
    return true;
}

}  // namespace LabelStyle
}  // namespace SkinUI
