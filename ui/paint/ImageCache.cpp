#include "ui/paint/ImageCache.h"

#include "ui/base/DpiScale.h"
#include "ui/images/ImageDecoder.h"
#include "ui/images/ImageResample.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <utility>

namespace SkinUI {

UINT ImageCache::ResourceIdOf(LPCTSTR name)
{
    // A larger number would be taken for a string pointer by the resource
    // functions.
    if (name == nullptr || *name < L'0' || *name > L'9') return 0;
    UINT id = 0;
    for (; *name != L'\0'; ++name) {
        if (*name < L'0' || *name > L'9') break;
        id = id * 10 + static_cast<UINT>(*name - L'0');
        if (id > 0xFFFF) return 0;
    }
    return id;
}

tagTImageInfo* ImageCache::LoadFrom(LPCTSTR name, LPCTSTR type, DWORD mask)
{
    if (type != nullptr && *type != L'\0') {
        const UINT id = ResourceIdOf(name);
        return id != 0 ? CImageDecoder::LoadImage(STRINGorID(id), type, mask) : nullptr;
    }
    return CImageDecoder::LoadImage(STRINGorID(name), nullptr, mask);
}

TImageInfo* ImageCache::Find(LPCTSTR name) const { return name != nullptr ? m_images.Find(name) : nullptr; }

TImageInfo* ImageCache::Load(LPCTSTR name, LPCTSTR type, DWORD mask)
{
    if (name == nullptr || *name == L'\0') return nullptr;
    tagTImageInfo* image = LoadFrom(name, type, mask);
    if (image == nullptr) return nullptr;
    image->sResType = type;
    image->dwMask = mask;
    return m_images.Insert(name, image) ? image : nullptr;
}

TImageInfo* ImageCache::Adopt(LPCTSTR name, HBITMAP bitmap, int width, int height, bool alpha)
{
    Gdi::Bitmap owned(bitmap);
    if (!owned || width <= 0 || height <= 0 || name == nullptr) return nullptr;
    auto* image = new TImageInfo;
    image->hBitmap = std::move(owned);
    image->nX = width;
    image->nY = height;
    image->alphaChannel = alpha;
    return m_images.Insert(name, image) ? image : nullptr;
}

bool ImageCache::Remove(LPCTSTR name)
{
    if (name == nullptr) return false;
    m_scaled.Remove(name);
    return m_images.Remove(name);
}

void ImageCache::Clear()
{
    m_scaled.RemoveAll();
    m_images.RemoveAll();
}

CUiString ImageCache::VariantName(LPCTSTR name, LPCTSTR suffix)
{
    CUiString text(name);
    int dot = -1;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'.') dot = i;
        if (text[i] == L'/' || text[i] == L'\\') dot = -1;
    }
    if (dot < 0) return text + suffix;
    return text.Left(dot) + suffix + text.Mid(dot);
}

namespace {

using Record = std::unique_ptr<TImageInfo, void (*)(const TImageInfo*)>;

Record NoRecord() { return Record(nullptr, &CImageDecoder::FreeImage); }

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

Record Resized(const TImageInfo& source, int width, int height)
{
    const std::vector<uint32_t> pixels =
        ResamplePremultiplied(PixelsOf(source), source.nX, source.nY, width, height);
    Gdi::Dib32 dib;
    if (pixels.empty() || !dib.Create(width, height)) return NoRecord();
    std::copy(pixels.begin(), pixels.end(), dib.bits);
    Record image(new TImageInfo, &CImageDecoder::FreeImage);
    image->hBitmap = std::move(dib.bitmap);
    image->nX = width;
    image->nY = height;
    image->alphaChannel = source.alphaChannel;
    return image;
}

}  // namespace

TImageInfo* ImageCache::Scaled(LPCTSTR name, LPCTSTR type, DWORD mask, const TImageInfo& base, int dpi)
{
    if (name == nullptr || *name == L'\0') return nullptr;
    if (TImageInfo* found = m_scaled.Find(name)) return found;
    const int width = ScaleForDpi(base.nX, dpi);
    const int height = ScaleForDpi(base.nY, dpi);
    if (width <= 0 || height <= 0) return nullptr;

    // The skin's larger pictures, smallest first.
    struct Variant {
        LPCTSTR suffix;
        int scalePercent;
    };
    static const Variant kVariants[] = {{L"@1.5x", 150}, {L"@2x", 200}, {L"@3x", 300}};
    Record chosen = NoRecord();
    const int wantedPercent = ScaleForDpi(100, dpi);
    if ((type == nullptr || *type == L'\0') && wantedPercent > 100) {
        for (const Variant& variant : kVariants) {
            Record candidate(LoadFrom(VariantName(name, variant.suffix), nullptr, mask), &CImageDecoder::FreeImage);
            if (!candidate) continue;
            chosen = std::move(candidate);
            if (variant.scalePercent >= wantedPercent) break;
        }
    }
    const TImageInfo& source = chosen ? *chosen : base;
    Record made = NoRecord();
    if (chosen && chosen->nX == width && chosen->nY == height)
        made = std::move(chosen);
    else
        made = Resized(source, width, height);
    if (!made) return nullptr;
    made->sResType = type;
    made->dwMask = mask;
    TImageInfo* record = made.release();
    return m_scaled.Insert(name, record) ? record : nullptr;
}

bool ImageCache::ReloadAll()
{
    m_scaled.RemoveAll();
    bool replaced = false;
    for (int i = 0; i < m_images.GetSize(); ++i) {
        LPCTSTR key = m_images.GetAt(i);
        if (key == nullptr) continue;
        // No move-to-front here: the walk must visit every entry once.
        TImageInfo* image = m_images.Find(key, false);
        if (image == nullptr) continue;
        tagTImageInfo* fresh = nullptr;
        if (image->sResType.IsEmpty())
            fresh = CImageDecoder::LoadImage(STRINGorID(key), nullptr, image->dwMask);
        else if (ResourceIdOf(key) != 0)
            fresh = CImageDecoder::LoadImage(STRINGorID(ResourceIdOf(key)), image->sResType, image->dwMask);
        if (fresh == nullptr) continue;
        image->hBitmap = std::move(fresh->hBitmap);
        image->nX = fresh->nX;
        image->nY = fresh->nY;
        image->alphaChannel = fresh->alphaChannel;
        CImageDecoder::FreeImage(fresh);
        replaced = true;
    }
    return replaced;
}

}  // namespace SkinUI
