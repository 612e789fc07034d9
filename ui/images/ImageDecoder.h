#pragma once
// Turns skin image files into premultiplied 32-bit DIB sections that
// AlphaBlend can draw, and animated GIFs into frame lists. CRenderEngine
// offers these calls under its own name; the paint manager, which sits below
// the render engine, calls them here.

#include "ui/base/Platform.h"
#include "ui/base/StringOrId.h"
#include "ui/images/ImageInfo.h"

#include <cstddef>

namespace SkinUI {

class CGifHandler;

class CImageDecoder {
public:
    // The bytes come from a resource of `type`, the skin archive, the skin
    // folder or the name as a path, in that order. Null on failure.
    static tagTImageInfo* LoadImage(STRINGorID bitmap, LPCTSTR type = nullptr, DWORD mask = 0);
    static CGifHandler* LoadGif(STRINGorID bitmap, LPCTSTR type = nullptr, DWORD mask = 0);
    // Decodes bytes already in memory (any format the decoder accepts).
    static tagTImageInfo* LoadImageFromMemory(const void* data, size_t size, DWORD mask = 0);
    static CGifHandler* LoadGifFromMemory(const void* data, size_t size, DWORD mask = 0);
    static void FreeImage(const tagTImageInfo* image);
};

}  // namespace SkinUI
