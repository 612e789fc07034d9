#include "ui/paint/ImageCache.h"

#include "ui/base/DpiScale.h"
#include "ui/images/ImageDecoder.h"
#include "ui/images/DensityVariants.h"
#include "ui/images/ImageResize.h"

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

CUiString ImageCache::VariantName(LPCTSTR name, LPCTSTR suffix) { return DensityVariantName(name, suffix); }

namespace {

using Record = std::unique_ptr<TImageInfo, void (*)(const TImageInfo*)>;

Record NoRecord() { return Record(nullptr, &CImageDecoder::FreeImage); }

}  // namespace

TImageInfo* ImageCache::Scaled(LPCTSTR name, LPCTSTR type, DWORD mask, const TImageInfo& base, int dpi)
{
    if (name == nullptr || *name == L'\0') return nullptr;
    if (TImageInfo* found = m_scaled.Find(name)) return found;
    const int width = ScaleForDpi(base.nX, dpi);
    const int height = ScaleForDpi(base.nY, dpi);
    if (width <= 0 || height <= 0) return nullptr;

    // Resources have no larger pictures beside them.
    Record chosen = NoRecord();
    if (type == nullptr || *type == L'\0') {
        chosen = LoadDensityVariant(name, dpi, NoRecord(), [mask](const CUiString& variant) {
            return Record(LoadFrom(variant, nullptr, mask), &CImageDecoder::FreeImage);
        });
    }
    const TImageInfo& source = chosen ? *chosen : base;
    Record made = NoRecord();
    if (chosen && chosen->nX == width && chosen->nY == height)
        made = std::move(chosen);
    else
        made = Record(ResizedImage(source, width, height), &CImageDecoder::FreeImage);
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
