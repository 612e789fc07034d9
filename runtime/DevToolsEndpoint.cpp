#include "runtime/DevToolsEndpoint.h"

#include <winsock2.h>  // must precede windows.h, which would pull in the old winsock
#include <windows.h>

namespace vxrt {

bool TestEndpointFromEnvironment(unsigned short& port, std::string& path)
{
    char value[512];
    DWORD n = GetEnvironmentVariableA("VXRT_DEVTOOLS_ENDPOINT", value, sizeof value);
    if (n == 0 || n >= sizeof value) return false;
    std::string v(value, n);
    size_t slash = v.find('/');
    if (slash == 0 || slash == std::string::npos || slash > 5) return false;
    unsigned long p = 0;
    for (size_t i = 0; i < slash; ++i) {
        if (v[i] < '0' || v[i] > '9') return false;
        p = p * 10 + static_cast<unsigned long>(v[i] - '0');
    }
    if (p == 0 || p > 65535) return false;
    port = static_cast<unsigned short>(p);
    path = v.substr(slash);
    return true;
}

}  // namespace vxrt
