#pragma once
// GDI+ for the text effects of labels: started when the first label is
// made, shut down when the last one goes. Every label holds one
// GdiplusSession; the counts let diagnostics see the start and shutdown.

#include "ui/base/Platform.h"

namespace SkinUI {

class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    // True while GDI+ is running (it may have failed to start).
    static bool IsRunning();
    // How many sessions are alive, and how often GDI+ was started and shut
    // down since the process began.
    static int LiveSessions();
    static int StartupCount();
    static int ShutdownCount();
};

}  // namespace SkinUI
