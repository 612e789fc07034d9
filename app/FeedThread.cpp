#include "app/FeedThread.h"

#include <process.h>

#include "app/feed/AdItem.h"
#include "app/AppMessages.h"
#include "app/feed/FeedLoader.h"
#include "app/feed/HttpClient.h"
#include "ui/base/KernelHandle.h"
#include "VornexDeployment.h"

namespace Vornex {

unsigned __stdcall FeedThreadProc(void* argument)
{
    const HWND mainWnd = static_cast<HWND>(argument);
    CHttpClient client;
    // No scheme: the client connects to port 80 and sends its default headers.
    const std::string body = client.Request(VORNEX_SERVICE_HOST "/api.dat", std::string());

    // Parsed into lists of this thread's own; the process-wide lists are
    // written once, whole, right before the window is told.
    std::vector<AdItem> staticAds;
    std::vector<AdItem> scrollAds[3];
    switch (LoadFeedLists(body, 0, staticAds, scrollAds)) {
    case FeedLoadResult::UnpackFailed:
        return kFeedExitDone;
    case FeedLoadResult::NotWellFormed:
        return kFeedExitNotWellFormed;
    case FeedLoadResult::Ready:
        break;
    }
    g_vecStaticAds = std::move(staticAds);
    for (int k = 0; k < 3; ++k) g_vecScrollAds[k] = std::move(scrollAds[k]);
    // Posted, never sent: this thread must not wait on the UI thread. The
    // window may be gone already; then the post fails and nothing else happens.
    ::PostMessageW(mainWnd, UM_FEEDREADY, 0, 0);
    return kFeedExitDone;
}

bool StartFeedThread(HWND mainWnd)
{
    // The thread runs on its own: its handle is closed at once.
    const SkinUI::KernelHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, FeedThreadProc, mainWnd, 0, nullptr)));
    return static_cast<bool>(thread);
}

}  // namespace Vornex
