#pragma once
// Room in a window's paint manager for what a higher layer works out once
// and reuses from paint to paint (the render engine keeps the layout of
// marked-up text there). The manager owns it and drops it with itself.

namespace SkinUI {

class PaintCacheSlot {
public:
    PaintCacheSlot() = default;
    virtual ~PaintCacheSlot() = default;
    PaintCacheSlot(const PaintCacheSlot&) = delete;
    PaintCacheSlot& operator=(const PaintCacheSlot&) = delete;
};

}  // namespace SkinUI
