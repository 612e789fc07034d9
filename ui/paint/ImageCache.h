#pragma once
// The decoded images of one window by the name they were asked for (case
// sensitive). The cache owns the records; controls keep pointers to them,
// so a reload changes a record's bitmap in place and never the record.

#include "ui/base/StdStringOwningMap.h"
#include "ui/images/ImageDecoder.h"
#include "ui/images/ImageInfo.h"

namespace SkinUI {

class ImageCache {
public:
    ImageCache() = default;
    ~ImageCache() = default;
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    TImageInfo* Find(LPCTSTR name) const;
    // Loads `name` and caches it: with a resource type, the name is the
    // decimal id of a resource of that type; otherwise a skin file. Null when
    // loading fails or the name is taken.
    TImageInfo* Load(LPCTSTR name, LPCTSTR type, DWORD mask);
    // Caches an existing bitmap (owned from now on, also on failure). Null
    // for a null bitmap, a size that is not positive or a name that is taken.
    TImageInfo* Adopt(LPCTSTR name, HBITMAP bitmap, int width, int height, bool alpha);
    bool Remove(LPCTSTR name);
    void Clear();
    // Loads every image again from where it came from; true when at least
    // one record got a new bitmap. Failed loads keep the old bitmap.
    bool ReloadAll();

    // The image cached as `base` under `name`, for drawing at `dpi`: exactly
    // the 100 % size scaled to that density. A file image may come with
    // larger pictures beside it ("btn@1.5x.png", "btn@2x.png" for
    // "btn.png"): one of exactly that size is taken as it is; otherwise the
    // smallest one at least as large as needed (else the largest there is,
    // else the 100 % image) is resized smoothly. Kept until DropScaled;
    // null when no picture could be made.
    TImageInfo* Scaled(LPCTSTR name, LPCTSTR type, DWORD mask, const TImageInfo& base, int dpi);
    // Forgets every picture made for a density (the density changed).
    void DropScaled() { m_scaled.RemoveAll(); }
    // "dir/btn.png" with "@2x" -> "dir/btn@2x.png".
    static CUiString VariantName(LPCTSTR name, LPCTSTR suffix);

    // The resource id a cache name stands for: decimal digits only, within
    // the range of resource ids (1 to 65535); 0 when it is none.
    static UINT ResourceIdOf(LPCTSTR name);

private:
    static tagTImageInfo* LoadFrom(LPCTSTR name, LPCTSTR type, DWORD mask);

    // Records go back through the decoder that made them.
    struct FreeRecord {
        void operator()(TImageInfo* image) const { CImageDecoder::FreeImage(image); }
    };
    CStdStringOwningMap<TImageInfo, FreeRecord> m_images{83};
    CStdStringOwningMap<TImageInfo, FreeRecord> m_scaled{83};  // by the name of the 100 % image
};

}  // namespace SkinUI
