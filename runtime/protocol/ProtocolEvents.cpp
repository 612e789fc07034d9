#include "runtime/protocol/ProtocolEvents.h"

namespace vxrt {

namespace {

bool Is(const std::string& method, const char* name) { return method == name; }

}  // namespace

namespace page {

namespace {

// Only document requests tell about a frame's load; images and scripts are
// no business of the load handler.
bool IsDocument(const Json& params) { return json::String(params, "type") == "Document"; }

void ReadScreencastFrame(const Json& p, EventSink& sink)
{
    ScreencastFrame e;
    e.data = json::StringRef(p, "data");
    e.ackId = json::Int(p, "sessionId");
    const Json& metadata = json::Object(p, "metadata");
    e.scrollX = json::Number(metadata, "scrollOffsetX");
    e.scrollY = json::Number(metadata, "scrollOffsetY");
    e.viewWidth = json::Int(metadata, "deviceWidth");
    e.viewHeight = json::Int(metadata, "deviceHeight");
    sink.OnScreencastFrame(e);
}

bool ReadRequestWillBeSent(const Json& p, EventSink& sink)
{
    RequestWillBeSent e;
    e.requestId = json::String(p, "requestId");
    if (e.requestId.empty()) return false;
    e.frameId = json::String(p, "frameId");
    e.url = json::String(json::Object(p, "request"), "url");
    e.document = IsDocument(p);
    sink.OnRequestWillBeSent(e);
    return true;
}

bool ReadResponseReceived(const Json& p, EventSink& sink)
{
    ResponseReceived e;
    e.requestId = json::String(p, "requestId");
    e.frameId = json::String(p, "frameId");
    if (e.requestId.empty() && e.frameId.empty()) return false;
    e.status = json::Int(json::Object(p, "response"), "status");
    e.document = IsDocument(p);
    sink.OnResponseReceived(e);
    return true;
}

bool ReadLoadingFinished(const Json& p, EventSink& sink)
{
    LoadingFinished e;
    e.requestId = json::String(p, "requestId");
    if (e.requestId.empty()) return false;
    sink.OnLoadingFinished(e);
    return true;
}

bool ReadLoadingFailed(const Json& p, EventSink& sink)
{
    LoadingFailed e;
    // Without its request the failure belongs to no known load.
    e.requestId = json::String(p, "requestId");
    if (e.requestId.empty()) return false;
    e.errorText = json::String(p, "errorText", "net::ERR_FAILED");
    e.canceled = json::Bool(p, "canceled");
    e.document = IsDocument(p);
    sink.OnLoadingFailed(e);
    return true;
}

bool ReadFrameNavigated(const Json& p, EventSink& sink)
{
    const Json& frame = json::Object(p, "frame");
    FrameNavigated e;
    e.frameId = json::String(frame, "id");
    if (e.frameId.empty()) return false;
    e.parentId = json::String(frame, "parentId");
    e.url = json::String(frame, "url");
    e.name = json::String(frame, "name");
    e.errorPage = json::Has(frame, "unreachableUrl");
    sink.OnFrameNavigated(e);
    return true;
}

bool ReadNavigatedWithinDocument(const Json& p, EventSink& sink)
{
    NavigatedWithinDocument e;
    e.frameId = json::String(p, "frameId");
    e.url = json::String(p, "url");
    if (e.frameId.empty() || e.url.empty()) return false;
    sink.OnNavigatedWithinDocument(e);
    return true;
}

bool ReadLifecycleEvent(const Json& p, EventSink& sink)
{
    LifecycleEvent e;
    e.frameId = json::String(p, "frameId");
    e.name = json::String(p, "name");
    if (e.frameId.empty() || e.name.empty()) return false;
    sink.OnLifecycleEvent(e);
    return true;
}

bool ReadFrameLoading(const Json& p, bool started, EventSink& sink)
{
    FrameLoading e;
    e.frameId = json::String(p, "frameId");
    if (e.frameId.empty()) return false;
    e.started = started;
    sink.OnFrameLoading(e);
    return true;
}

bool ReadFrameDetached(const Json& p, EventSink& sink)
{
    FrameDetached e;
    e.frameId = json::String(p, "frameId");
    if (e.frameId.empty()) return false;
    sink.OnFrameDetached(e);
    return true;
}

bool ReadExecutionContextCreated(const Json& p, EventSink& sink)
{
    const Json& context = json::Object(p, "context");
    const Json& aux = json::Object(context, "auxData");
    ExecutionContextCreated e;
    e.contextId = json::Int(context, "id");
    e.frameId = json::String(aux, "frameId");
    e.isDefault = json::Bool(aux, "isDefault");
    if (e.frameId.empty()) return false;
    sink.OnExecutionContextCreated(e);
    return true;
}

}  // namespace

bool Dispatch(const std::string& method, const Json& params, EventSink& sink)
{
    // Carries nothing the runtime needs.
    if (Is(method, "Inspector.targetCrashed")) {
        sink.OnRendererGone({});
        return true;
    }
    if (!params.is_object()) return false;
    if (Is(method, "Page.screencastFrame")) {
        ReadScreencastFrame(params, sink);
        return true;
    }
    if (Is(method, "Network.requestWillBeSent")) return ReadRequestWillBeSent(params, sink);
    if (Is(method, "Network.responseReceived")) return ReadResponseReceived(params, sink);
    if (Is(method, "Network.loadingFinished")) return ReadLoadingFinished(params, sink);
    if (Is(method, "Network.loadingFailed")) return ReadLoadingFailed(params, sink);
    if (Is(method, "Page.frameNavigated")) return ReadFrameNavigated(params, sink);
    if (Is(method, "Page.navigatedWithinDocument")) return ReadNavigatedWithinDocument(params, sink);
    if (Is(method, "Page.lifecycleEvent")) return ReadLifecycleEvent(params, sink);
    if (Is(method, "Page.frameStartedLoading")) return ReadFrameLoading(params, true, sink);
    if (Is(method, "Page.frameStoppedLoading")) return ReadFrameLoading(params, false, sink);
    if (Is(method, "Page.frameDetached")) return ReadFrameDetached(params, sink);
    if (Is(method, "Runtime.executionContextCreated")) return ReadExecutionContextCreated(params, sink);
    if (Is(method, "Runtime.bindingCalled")) {
        BindingCalled e{json::String(params, "name"), json::String(params, "payload")};
        if (e.name.empty()) return false;
        sink.OnBindingCalled(e);
        return true;
    }
    if (Is(method, "Page.javascriptDialogOpening")) {
        sink.OnJavascriptDialogOpening({json::String(params, "type")});
        return true;
    }
    return false;
}

}  // namespace page

namespace target {

bool Dispatch(const std::string& method, const Json& params, EventSink& sink)
{
    if (!params.is_object()) return false;
    if (Is(method, "Target.targetInfoChanged")) {
        const Json& info = json::Object(params, "targetInfo");
        InfoChanged e{json::String(info, "targetId"), json::String(info, "type"), json::String(info, "title"),
                      json::String(info, "url")};
        if (e.targetId.empty()) return false;
        sink.OnTargetInfoChanged(e);
        return true;
    }
    if (Is(method, "Target.targetDestroyed")) {
        Gone e;
        e.targetId = json::String(params, "targetId");
        if (e.targetId.empty()) return false;
        sink.OnTargetGone(e);
        return true;
    }
    if (Is(method, "Target.targetCrashed")) {
        page::RendererGone e{json::String(params, "targetId")};
        if (e.targetId.empty()) return false;
        sink.OnRendererGone(e);
        return true;
    }
    if (Is(method, "Target.detachedFromTarget")) {
        Gone e;
        e.sessionId = json::String(params, "sessionId");
        e.targetId = json::String(params, "targetId");
        if (e.sessionId.empty() && e.targetId.empty()) return false;
        sink.OnTargetGone(e);
        return true;
    }
    return false;
}

}  // namespace target
}  // namespace vxrt
