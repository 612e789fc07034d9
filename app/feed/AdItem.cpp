#include "app/feed/AdItem.h"

namespace Vornex {

std::vector<AdItem> g_vecStaticAds;
std::vector<AdItem> g_vecScrollAds[3];

}  // namespace Vornex
