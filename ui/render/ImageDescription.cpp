#include "ui/render/ImageDescription.h"

#include "ui/base/AttributeValue.h"
#include "ui/base/DpiScale.h"

namespace SkinUI {

void ReadImageDescription(LPCTSTR text, const RECT& item, ImageDescription& d,
                          const std::function<void(const ImageDescription&)>& finished, int dpi)
{
    using namespace AttributeValue;
    int images = 0;
    DescriptionReader reader(text);
    CUiString key, value;
    while (reader.Next(key, value)) {
        if (value.IsEmpty()) continue;
        if (key == L"file" || key == L"res") {
            if (images > 0 && finished) finished(d);
            d.name = value;
            if (key == L"file") ++images;
        } else if (key == L"restype") {
            if (images > 0 && finished) finished(d);
            d.type = value;
            ++images;
        } else if (key == L"dest") {
            const RECT r = ScaleForDpi(ParseRect(value), dpi);
            d.dest.left = SaturatingAdd(item.left, r.left);
            d.dest.top = SaturatingAdd(item.top, r.top);
            const int right = SaturatingAdd(item.left, r.right);
            const int bottom = SaturatingAdd(item.top, r.bottom);
            d.dest.right = right < item.right ? right : item.right;
            d.dest.bottom = bottom < item.bottom ? bottom : item.bottom;
        } else if (key == L"source") {
            d.source = ParseRect(value);
        } else if (key == L"corner") {
            d.corners = ParseRect(value);
        } else if (key == L"mask") {
            d.mask = ParseColor(value);
        } else if (key == L"fade") {
            d.fade = static_cast<BYTE>(Clamp(ParseInt(value), 0, 255));
        } else if (key == L"hole") {
            d.hole = ParseBool(value);
        } else if (key == L"xtiled") {
            d.xtiled = ParseBool(value);
        } else if (key == L"ytiled") {
            d.ytiled = ParseBool(value);
        }
    }
}

}  // namespace SkinUI
