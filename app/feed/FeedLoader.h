#pragma once
// Turns the body of "/api.dat" into the advertisement lists: unpack the
// blocks, convert the ANSI text to UTF-16, parse it and walk
// config / StaticAd / ad and config / ScrollAd / item / ad.
// Portable, so the whole path from bytes to lists is tested natively too.

#include <string>
#include <vector>

#include "app/feed/AdItem.h"

namespace Vornex {

enum class FeedLoadResult {
    Ready,          // lists filled (possibly with nothing); the window is told
    UnpackFailed,   // a block was corrupt or outside the format
    NotWellFormed,  // the text is no well-formed document (an empty body too)
};

// `codePage` 0 is the system's ANSI code page. The lists are appended to, not
// cleared: they start empty once per process.
FeedLoadResult LoadFeedLists(const std::string& body, unsigned codePage, std::vector<AdItem>& staticAds,
                             std::vector<AdItem> (&scrollAds)[3]);

// The part of LoadFeedLists behind the unpacking: `unpacked` is the
// unpacked text in code page `codePage`. Never UnpackFailed.
FeedLoadResult ReadFeedLists(const std::string& unpacked, unsigned codePage, std::vector<AdItem>& staticAds,
                             std::vector<AdItem> (&scrollAds)[3]);

}  // namespace Vornex
