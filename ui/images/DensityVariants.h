#pragma once
// A skin's larger pictures of an image, for drawing at densities above
// 100 %: next to "btn.png" it may carry "btn@1.5x.png", "btn@2x.png" and
// "btn@3x.png", each that many times the 100 % size. The one to start from
// is the smallest at least as large as the density needs (shrinking loses
// less than growing), else the largest there is.

#include "ui/base/DpiScale.h"
#include "ui/base/UiString.h"

#include <utility>

namespace SkinUI {

struct DensityVariant {
    LPCTSTR suffix;
    int scalePercent;
};

// Smallest first.
extern const DensityVariant kDensityVariants[3];

// "dir/btn.png" with "@2x" -> "dir/btn@2x.png" (the suffix goes before the
// extension of the file name, not of a folder).
CUiString DensityVariantName(LPCTSTR name, LPCTSTR suffix);

// The larger picture of `name` to start from at `dpi`, as `load` gives it
// (`load(variantName)` returns an owner that is false when there is no such
// picture); `none` when the density is not above 100 % or the skin carries
// no larger picture.
template <class Owner, class Load>
Owner LoadDensityVariant(LPCTSTR name, int dpi, Owner none, Load load)
{
    Owner chosen = std::move(none);
    const int wantedPercent = ScaleForDpi(100, dpi);
    if (wantedPercent <= 100) return chosen;
    for (const DensityVariant& variant : kDensityVariants) {
        Owner candidate = load(DensityVariantName(name, variant.suffix));
        if (!candidate) continue;
        chosen = std::move(candidate);
        if (variant.scalePercent >= wantedPercent) break;
    }
    return chosen;
}

}  // namespace SkinUI
