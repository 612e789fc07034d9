#pragma once
// One promotion advertisement and the process-wide lists the feed fills.
//
// The lists have no lock: the feed thread writes them only before it posts
// UM_FEEDREADY to the main window, and the UI thread reads them only after
// receiving that message. Nobody writes them afterwards.
//
// They are never destroyed. The feed thread is never joined: when the
// program returns while a slow download still runs, the C runtime tears
// down the program's statics while that thread may still be publishing, and
// only ExitProcess ends it afterwards. Lists that outlive every static keep
// that late write harmless.

#include <string>
#include <vector>

namespace Vornex {

struct AdItem {
    std::wstring text;  // caption shown on the button
    std::wstring url;   // address opened when the advertisement is clicked
};

// Every `ad` child of StaticAd, in document order.
extern std::vector<AdItem>& g_vecStaticAds;
// List k from the `ad` children of the (k+1)-th `item` of ScrollAd; list k
// feeds scrolling button k+1.
extern std::vector<AdItem> (&g_vecScrollAds)[3];

}  // namespace Vornex
