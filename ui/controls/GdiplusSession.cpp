#include "ui/controls/GdiplusSession.h"

// GDI+ needs the COM property types that the lean Windows headers leave out.
#include <objidl.h>
#include <gdiplus.h>

namespace SkinUI {

namespace {

// Controls live on the UI thread only, so plain counters suffice.
ULONG_PTR g_token = 0;
int g_sessions = 0;
int g_startups = 0;
int g_shutdowns = 0;

}  // namespace

GdiplusSession::GdiplusSession()
{
    if (g_sessions++ > 0) return;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&g_token, &input, nullptr) == Gdiplus::Ok)
        ++g_startups;
    else
        g_token = 0;
}

GdiplusSession::~GdiplusSession()
{
    if (--g_sessions > 0) return;
    if (g_token) {
        Gdiplus::GdiplusShutdown(g_token);
        g_token = 0;
        ++g_shutdowns;
    }
}

bool GdiplusSession::IsRunning() { return g_token != 0; }
int GdiplusSession::LiveSessions() { return g_sessions; }
int GdiplusSession::StartupCount() { return g_startups; }
int GdiplusSession::ShutdownCount() { return g_shutdowns; }

}  // namespace SkinUI
