#include "ui/images/DensityGif.h"

#include "ui/base/DpiScale.h"
#include "ui/images/DensityVariants.h"
#include "ui/images/ImageDecoder.h"
#include "ui/images/ImageResize.h"

#include <memory>

namespace SkinUI {

namespace {

using Frames = std::unique_ptr<CGifHandler>;

Frames LoadFrames(LPCTSTR name)
{
    Frames frames(CImageDecoder::LoadGif(STRINGorID(name)));
    if (frames && frames->GetFrameCount() == 0) frames.reset();
    return frames;
}

}  // namespace

CGifHandler* LoadGifForDpi(LPCTSTR name, int dpi)
{
    Frames base(CImageDecoder::LoadGif(STRINGorID(name)));
    if (!base || dpi == kBaseDpi || base->GetFrameCount() == 0) return base.release();
    const tagTImageInfo* first = base->GetFrameInfoAt(0);
    const int width = ScaleForDpi(first->nX, dpi);
    const int height = ScaleForDpi(first->nY, dpi);
    if (width <= 0 || height <= 0) return base.release();

    Frames variant =
        LoadDensityVariant(name, dpi, Frames(), [](const CUiString& variantName) { return LoadFrames(variantName); });
    if (variant) {
        const tagTImageInfo* frame = variant->GetFrameInfoAt(0);
        if (frame->nX == width && frame->nY == height) return variant.release();
    }
    const CGifHandler& source = variant ? *variant : *base;
    auto scaled = std::make_unique<CGifHandler>();
    for (int i = 0; i < source.GetFrameCount(); ++i) {
        tagTImageInfo* frame = ResizedImage(*source.GetFrameInfoAt(i), width, height);
        if (frame == nullptr) return base.release();
        scaled->AddFrameInfo(frame);
    }
    return scaled.release();
}

}  // namespace SkinUI
