#include "app/feed/AdItem.h"

namespace Vornex {

// Allocated once and deliberately never freed (see AdItem.h).
std::vector<AdItem>& g_vecStaticAds = *new std::vector<AdItem>;
std::vector<AdItem> (&g_vecScrollAds)[3] = *new std::vector<AdItem>[1][3];

}  // namespace Vornex
