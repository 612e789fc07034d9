#pragma once
// The promotion feed's worker thread: downloads "/api.dat" from the service
// host, fills g_vecStaticAds and g_vecScrollAds and posts UM_FEEDREADY to the
// main window. It never touches a window otherwise and is never joined: the
// program may return while it still downloads, which is safe because all it
// then touches are its own objects, WinInet (unloaded only after ExitProcess
// has ended the thread) and the lists, which are never destroyed.

#include <windows.h>

namespace Vornex {

// Exit codes of FeedThreadProc (nobody reads them in the program).
constexpr unsigned kFeedExitDone = 0;           // lists filled, or unpacking failed
constexpr unsigned kFeedExitNotWellFormed = 1;  // no well-formed document (also any download failure)

// Thread entry for _beginthreadex; `argument` is the main window's handle.
unsigned __stdcall FeedThreadProc(void* argument);

// Starts FeedThreadProc for `mainWnd` and lets it run on its own (its handle
// is closed at once). False when the thread could not be created.
bool StartFeedThread(HWND mainWnd);

}  // namespace Vornex
