#pragma once
// A decoded image resized smoothly (ImageResample) into a new record, for
// drawing a picture at a density the skin has no picture of that size for.

#include "ui/images/ImageInfo.h"

namespace SkinUI {

// A new record of `width` x `height` (free it with CImageDecoder::FreeImage)
// with the source's alpha flag and frame delay; null when a size is not
// positive or the source is not a 32-bit DIB section of its stated size.
tagTImageInfo* ResizedImage(const TImageInfo& source, int width, int height);

}  // namespace SkinUI
