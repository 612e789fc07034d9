#pragma once
// Where the runtime finds its DevTools endpoint when a test provides one:
// the environment variable VXRT_DEVTOOLS_ENDPOINT holds "port/path"
// (e.g. "9222/devtools/browser/x"). Unset in normal runs, where the runtime
// starts its engine and reads the endpoint the engine announces.

#include <string>

namespace vxrt {

bool TestEndpointFromEnvironment(unsigned short& port, std::string& path);

}  // namespace vxrt
