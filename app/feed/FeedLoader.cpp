#include "app/feed/FeedLoader.h"

#include <utility>

#include "app/feed/FeedContainer.h"
#include "app/feed/FeedDocument.h"
#include "ui/base/Platform.h"

namespace Vornex {

namespace {

AdItem ReadAd(CFeedDocument& document)
{
    AdItem item;
    item.text = document.GetAttribute(L"text");
    item.url = document.GetAttribute(L"url");
    return item;
}

// Appends every `ad` child of the current element; the cursor is left on the
// current element.
void ReadAds(CFeedDocument& document, std::vector<AdItem>& ads)
{
    document.EnterElement();
    while (document.FindElement(L"ad")) ads.push_back(ReadAd(document));
    document.LeaveElement();
}

}  // namespace

FeedLoadResult LoadFeedLists(const std::string& body, unsigned codePage, std::vector<AdItem>& staticAds,
                             std::vector<AdItem> (&scrollAds)[3])
{
    std::string bytes;
    if (!DecodeFeedContainer(body, bytes)) return FeedLoadResult::UnpackFailed;
    return ReadFeedLists(bytes, codePage, staticAds, scrollAds);
}

FeedLoadResult ReadFeedLists(const std::string& unpacked, unsigned codePage, std::vector<AdItem>& staticAds,
                             std::vector<AdItem> (&scrollAds)[3])
{
    std::wstring text = SkinUI::Platform::MultiByteToWide(unpacked.data(), unpacked.size(), codePage);
    // The document ends at its first zero character.
    const size_t zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);

    CFeedDocument document;
    if (!document.Parse(std::move(text))) return FeedLoadResult::NotWellFormed;

    if (document.FindElement(L"config")) {
        document.EnterElement();
        if (document.FindElement(L"StaticAd")) ReadAds(document, staticAds);
        // Searched after StaticAd when that was found: a ScrollAd placed
        // before it is not read.
        if (document.FindElement(L"ScrollAd")) {
            document.EnterElement();
            for (std::vector<AdItem>& list : scrollAds) {
                if (!document.FindElement(L"item")) break;
                ReadAds(document, list);
            }
        }
    }
    return FeedLoadResult::Ready;
}

}  // namespace Vornex
