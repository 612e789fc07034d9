#pragma once
// Thread-affinity checks of the runtime, on in debug builds: code that must
// run on the UI thread (windows, client handlers) says so, and a call from
// another thread stops the program at the call instead of corrupting state.

namespace vxrt {

// Aborts with a message naming file and line unless the runtime is stopped
// or the caller is on its UI thread.
void CheckUiThread(const char* file, int line);

}  // namespace vxrt

#ifndef NDEBUG
#define VXRT_ASSERT_UI_THREAD() ::vxrt::CheckUiThread(__FILE__, __LINE__)
#else
#define VXRT_ASSERT_UI_THREAD() ((void)0)
#endif
