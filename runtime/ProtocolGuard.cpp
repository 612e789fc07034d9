#include "runtime/ProtocolGuard.h"

namespace vxrt {

namespace {

bool HasObject(const Json& o, const char* name)
{
    auto it = o.find(name);
    return it != o.end() && it->is_object();
}

}  // namespace

bool EventShapeIsValid(const std::string& method, const Json& params)
{
    if (!params.is_object()) return false;
    if (method == "Page.frameNavigated") return HasObject(params, "frame");
    if (method == "Runtime.executionContextCreated") return HasObject(params, "context");
    if (method.compare(0, 7, "Target.") == 0 && params.contains("targetInfo")) return HasObject(params, "targetInfo");
    if (method == "Target.targetInfoChanged" || method == "Target.targetCreated")
        return HasObject(params, "targetInfo");
    if (method == "Network.responseReceived" && params.contains("response")) return HasObject(params, "response");
    if (method == "Network.requestWillBeSent" && params.contains("request")) return HasObject(params, "request");
    return true;
}

}  // namespace vxrt
