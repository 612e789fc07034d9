#include "app/feed/AdItem.h"

std::vector<AdItem> g_vecStaticAds;
std::vector<AdItem> g_vecScrollAds[3];
