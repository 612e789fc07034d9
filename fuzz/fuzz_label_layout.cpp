// Label style words and scroll bar geometry from arbitrary input: the style
// is always one the table can give, and the bar's parts always stay inside
// the bar along its axis, with the thumb between the buttons.
#include "ui/controls/LabelStyle.h"
#include "ui/controls/ScrollBarGeometry.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace SkinUI;

namespace {

int ReadInt(const uint8_t*& data, size_t& size)
{
    int32_t v = 0;
    const size_t n = size < sizeof(v) ? size : sizeof(v);
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

// Along the bar's axis; across it the parts take the bar's fixed thickness.
bool Inside(const RECT& part, const RECT& item, bool horizontal)
{
    return horizontal ? part.left >= item.left && part.right <= item.right
                      : part.top >= item.top && part.bottom <= item.bottom;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ScrollBarGeometry::Input in;
    // Bars of any size the screen could hold, with any range and position.
    in.item.left = ReadInt(data, size) % 4096;
    in.item.top = ReadInt(data, size) % 4096;
    in.item.right = in.item.left + std::abs(ReadInt(data, size) % 4096);
    in.item.bottom = in.item.top + std::abs(ReadInt(data, size) % 4096);
    in.thickness = ReadInt(data, size) % 64;
    const int flags = ReadInt(data, size);
    in.horizontal = flags & 1;
    in.showButton1 = flags & 2;
    in.showButton2 = flags & 4;
    in.range = ReadInt(data, size);
    in.position = ReadInt(data, size);
    const ScrollBarGeometry::Parts p = ScrollBarGeometry::Compute(in);
    if (ScrollBarGeometry::HasThumb(p)) {
        if (in.range > 0 && in.position >= 0 && !Inside(p.thumb, in.item, in.horizontal)) std::abort();
        if (in.horizontal ? (p.thumb.left < p.button1.right || p.thumb.right > p.button2.left)
                          : (p.thumb.top < p.button1.bottom || p.thumb.bottom > p.button2.top))
            std::abort();
    }
    (void)ScrollBarGeometry::DragOffset(ReadInt(data, size), in.range, ReadInt(data, size), in.thickness,
                                        ReadInt(data, size));

    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c != 0) text += c;
    }
    const UINT start = 0xABCD;
    const UINT style = LabelStyle::ApplyAlign(text.c_str(), start, LabelStyle::kMultiLineStyle);
    const UINT known = LabelStyle::kCenter | LabelStyle::kRight | LabelStyle::kVCenter | LabelStyle::kBottom |
                       LabelStyle::kSingleLine | LabelStyle::kMultiLineStyle;
    if (style != start && (style & ~known) != 0) std::abort();
    if (LabelStyle::ParseEffectAlign(text.c_str(), 7) > 7) std::abort();
    if (LabelStyle::ParseEffectVAlign(text.c_str(), 7) > 7) std::abort();
    LabelStyle::ShadowDisplacement d;
    (void)LabelStyle::ComputeShadowDisplacement(static_cast<int>(text.size()), static_cast<int>(flags % 400), d);
    return 0;
}
