#pragma once
// Restricts drawing to a rectangle for a painting scope, as CRenderClip's
// GenerateClip does, without making region objects: the control tree sets
// two such clips per container on every paint.
//
// Same states as CRenderClip: while the scope holds, the clip is the
// previous clip cut to the rectangle; UseOuter() makes it the previous
// clip's bounding box, UseInner() the rectangle alone; the end of the scope
// leaves the previous clip's bounding box. Rectangles are in the device
// context's logical units, which are its device units throughout the
// framework's painting (no mapping mode or origin is set).

#include "ui/base/Platform.h"

namespace SkinUI {

class ScopedClip {
public:
    ScopedClip(HDC hDC, const RECT& rc);
    ~ScopedClip();
    ScopedClip(const ScopedClip&) = delete;
    ScopedClip& operator=(const ScopedClip&) = delete;

    void UseOuter() const;
    void UseInner() const;

private:
    void Set(const RECT& rc) const;

    HDC m_hDC;
    RECT m_inner;
    RECT m_outer = {0, 0, 0, 0};
};

}  // namespace SkinUI
