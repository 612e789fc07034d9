#pragma once
// The frames of an animated GIF for drawing at a display density. A still
// picture at another density is drawn from a picture of that size, never
// stretched on the screen; the frames of an animation are treated the same
// way: the skin's larger animation ("loading@2x.gif" beside "loading.gif",
// chosen as for still pictures, DensityVariants) is taken as it is when it
// has exactly the size needed, else every frame of it (or of the 100 %
// animation when the skin has no larger one) is resized smoothly to the
// 100 % frame size scaled to the density. Delays stay as they are.

#include "ui/images/GifHandler.h"

namespace SkinUI {

// The animation `name` (a skin file) at `dpi`; at 100 % exactly what
// CImageDecoder::LoadGif gives. Null when the 100 % file cannot be read; an
// empty handler when it cannot be decoded. When a frame cannot be resized,
// the 100 % frames.
CGifHandler* LoadGifForDpi(LPCTSTR name, int dpi);

}  // namespace SkinUI
