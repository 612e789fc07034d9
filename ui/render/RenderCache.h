#pragma once
// What the render engine keeps for one window between paints: the laid-out
// marked-up text and the scratch GDI objects of its drawing. The window's
// paint manager owns it (made on first use) and drops it with itself.

#include "ui/paint/PaintCacheSlot.h"
#include "ui/render/HtmlTextCache.h"
#include "ui/render/PaintScratch.h"

namespace SkinUI {

class CPaintManagerUI;

class RenderCache : public PaintCacheSlot {
public:
    static RenderCache& Of(CPaintManagerUI& manager);

    HtmlTextCache texts;
    PaintScratch scratch;
};

}  // namespace SkinUI
