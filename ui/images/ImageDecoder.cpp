// Decoding of skin images into premultiplied 32-bit DIB sections.
#include "ui/images/ImageDecoder.h"

#include "ui/markup/SkinResourceReader.h"
#include "ui/images/GdiHandles.h"
#include "ui/images/GifHandler.h"

#include <climits>
#include <memory>
#include <utility>

// Images larger than this on a side are refused before any pixel memory is
// taken: no skin needs them and a crafted header could otherwise ask for
// gigabytes.
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace SkinUI {

namespace {

constexpr int kMaxSide = 16384;

struct StbFree {
    void operator()(void* p) const { stbi_image_free(p); }
};
using StbPixels = std::unique_ptr<stbi_uc, StbFree>;

// Builds one image record from RGBA pixels: premultiplies, applies the mask
// (compared against the converted 0xAARRGGBB value) and notes whether the
// image needs blending.
tagTImageInfo* MakeImage(const stbi_uc* rgba, int width, int height, DWORD mask)
{
    if (!rgba || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    Gdi::Dib32 dib;
    if (!dib.Create(width, height)) return nullptr;

    bool alpha = false;
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i) {
        const stbi_uc* p = rgba + i * 4;
        DWORD r = p[0], g = p[1], b = p[2], a = p[3];
        if (a < 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            alpha = true;
        }
        DWORD value = (a << 24) | (r << 16) | (g << 8) | b;
        if (mask != 0 && value == mask) {
            value = 0;
            alpha = true;
        }
        dib.bits[i] = value;
    }

    auto* info = new tagTImageInfo;
    info->hBitmap = std::move(dib.bitmap);
    info->nX = width;
    info->nY = height;
    info->alphaChannel = alpha;
    return info;
}

bool FitsDecoder(const void* data, size_t size) { return data && size > 0 && size <= static_cast<size_t>(INT_MAX); }

}  // namespace

tagTImageInfo* CImageDecoder::LoadImageFromMemory(const void* data, size_t size, DWORD mask)
{
    if (!FitsDecoder(data, size)) return nullptr;
    const auto* bytes = static_cast<const stbi_uc*>(data);
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &components)) return nullptr;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    StbPixels pixels(stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &components, 4));
    if (!pixels) return nullptr;
    return MakeImage(pixels.get(), width, height, mask);
}

CGifHandler* CImageDecoder::LoadGifFromMemory(const void* data, size_t size, DWORD mask)
{
    auto handler = std::make_unique<CGifHandler>();
    if (!FitsDecoder(data, size)) return handler.release();
    const auto* bytes = static_cast<const stbi_uc*>(data);
    int width = 0, height = 0, frames = 0, components = 0;
    int* delays = nullptr;
    StbPixels pixels(
        stbi_load_gif_from_memory(bytes, static_cast<int>(size), &delays, &width, &height, &frames, &components, 4));
    std::unique_ptr<int, StbFree> delayOwner(delays);
    if (!pixels || width <= 0 || height <= 0) return handler.release();

    const size_t frameBytes = static_cast<size_t>(width) * height * 4;
    for (int i = 0; i < frames; ++i) {
        tagTImageInfo* frame = MakeImage(pixels.get() + frameBytes * i, width, height, mask);
        if (!frame) continue;
        // The decoder already reports milliseconds (the file's hundredths
        // times ten); a zero delay would spin the animation timer.
        int delay = delays ? delays[i] : 0;
        frame->delay = delay > 0 ? delay : 100;
        frame->alphaChannel = true;
        handler->AddFrameInfo(frame);
    }
    return handler.release();
}

tagTImageInfo* CImageDecoder::LoadImage(STRINGorID bitmap, LPCTSTR type, DWORD mask)
{
    std::vector<unsigned char> bytes;
    if (!LoadSkinImageBytes(bitmap.m_lpstr, type, bytes)) return nullptr;
    return LoadImageFromMemory(bytes.data(), bytes.size(), mask);
}

CGifHandler* CImageDecoder::LoadGif(STRINGorID bitmap, LPCTSTR type, DWORD mask)
{
    std::vector<unsigned char> bytes;
    if (!LoadSkinImageBytes(bitmap.m_lpstr, type, bytes)) return nullptr;
    return LoadGifFromMemory(bytes.data(), bytes.size(), mask);
}

void CImageDecoder::FreeImage(const tagTImageInfo* image)
{
    delete image;  // the record owns its bitmap
}

}  // namespace SkinUI
