#include "ui/images/ImageResize.h"

#include "ui/images/ImageResample.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace SkinUI {

namespace {

// The premultiplied pixels of a decoded image, row by row.
std::vector<uint32_t> PixelsOf(const TImageInfo& image)
{
    DIBSECTION section = {};
    if (!image.hBitmap || ::GetObjectW(image.hBitmap.Get(), sizeof(section), &section) != sizeof(section) ||
        section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != 32 || section.dsBm.bmWidth != image.nX ||
        section.dsBm.bmHeight != image.nY)
        return {};
    ::GdiFlush();
    const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
    return std::vector<uint32_t>(bits, bits + static_cast<size_t>(image.nX) * image.nY);
}

}  // namespace

tagTImageInfo* ResizedImage(const TImageInfo& source, int width, int height)
{
    const std::vector<uint32_t> pixels = ResamplePremultiplied(PixelsOf(source), source.nX, source.nY, width, height);
    Gdi::Dib32 dib;
    if (pixels.empty() || !dib.Create(width, height)) return nullptr;
    std::copy(pixels.begin(), pixels.end(), dib.bits);
    auto image = std::make_unique<tagTImageInfo>();
    image->hBitmap = std::move(dib.bitmap);
    image->nX = width;
    image->nY = height;
    image->delay = source.delay;
    image->alphaChannel = source.alphaChannel;
    return image.release();
}

}  // namespace SkinUI
