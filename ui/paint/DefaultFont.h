#pragma once
// The default font shared by every window of the process.
//
// Windows hand it to native children (WM_SETFONT), which keep the handle
// without owning it. So a default font that is replaced is not deleted at
// once: every paint manager alive at that moment holds a lease that keeps it,
// and it goes when the last of those managers has gone (with its window and
// children). The current default font lives until the process ends.
//
// It is the 100 % font: a window drawn at another density uses its own
// copy at that density (ScaledDefaultFont).

#include "ui/paint/FontTable.h"

#include <memory>
#include <vector>

namespace SkinUI {

class DefaultFont {
public:
    // The shared record; its font is never null once a paint manager exists.
    static tagTFontInfo& Info();

    // Makes `font` (owned from now on) the default font with the given
    // description; the metrics are cleared. The font it replaces stays valid
    // while any lease taken before this call is held.
    static void Replace(HFONT font, LPCTSTR face, int size, bool bold, bool underline, bool italic);

    // True when `lf` describes the current default font exactly.
    static bool IsCurrent(const LOGFONTW& lf);

    // Counts replacements: what was made from the default font's
    // description (a window's copy at its density) holds while it stays.
    static unsigned long Revision();

    // One per paint manager, for the manager's whole life.
    class Lease {
    public:
        Lease();
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

    private:
        friend class DefaultFont;
        std::vector<std::shared_ptr<const Gdi::Font>> m_kept;
    };
};

}  // namespace SkinUI
