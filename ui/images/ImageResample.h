#pragma once
// Smooth resizing of premultiplied 32-bit pixels, for skin images drawn at a
// display density the skin has no picture for. Each axis on its own: a
// growing axis interpolates linearly between pixel centres, a shrinking one
// averages the source area each target pixel covers. Every target pixel is
// a weighted mean of source pixels with weights summing to one, so no
// channel exceeds its alpha and a flat area stays exactly flat.

#include <cstdint>
#include <vector>

namespace SkinUI {

// `source` holds `width` x `height` pixels, row by row, four 8-bit channels
// each (any order, colour premultiplied by alpha). Empty when a size is not
// positive or `source` is too short.
std::vector<uint32_t> ResamplePremultiplied(const std::vector<uint32_t>& source, int width, int height,
                                            int targetWidth, int targetHeight);

}  // namespace SkinUI
