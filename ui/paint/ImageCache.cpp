#include "ui/paint/ImageCache.h"

#include "ui/images/ImageDecoder.h"

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

bool ImageCache::Remove(LPCTSTR name) { return name != nullptr && m_images.Remove(name); }

void ImageCache::Clear() { m_images.RemoveAll(); }

bool ImageCache::ReloadAll()
{
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
