#include "ui/render/RenderCache.h"

#include "ui/paint/PaintManagerUI.h"

#include <memory>
#include <utility>

namespace SkinUI {

RenderCache& RenderCache::Of(CPaintManagerUI& manager)
{
    // Only the render engine fills the manager's render cache slot.
    auto* cache = static_cast<RenderCache*>(manager.GetRenderCache());
    if (cache == nullptr) {
        auto made = std::make_unique<RenderCache>();
        cache = made.get();
        manager.SetRenderCache(std::move(made));
    }
    return *cache;
}

}  // namespace SkinUI
