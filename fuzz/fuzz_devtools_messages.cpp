// DevTools message handling over arbitrary text: the message parser, then
// every event function the runtime has, each reading its fields with checked
// access. The first byte picks an event name to try the rest as its params
// under, so each event's reader gets hostile params without having to
// guess its name. Any exception escaping here is a finding: the handlers
// must not throw.
#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/protocol/CaretReport.h"
#include "runtime/protocol/DevToolsMessage.h"
#include "runtime/protocol/ProtocolEvents.h"

namespace {

// Touches every field it is given, so a bad read shows under the sanitizers.
class TouchingSink : public vxrt::page::EventSink, public vxrt::target::EventSink {
public:
    size_t sum = 0;
    void Touch(const std::string& s) { sum += s.size(); }
    void OnScreencastFrame(const vxrt::page::ScreencastFrame& e) override
    {
        if (e.data) Touch(*e.data);
        sum += static_cast<size_t>(e.ackId);
    }
    void OnRequestWillBeSent(const vxrt::page::RequestWillBeSent& e) override
    {
        Touch(e.requestId + e.frameId + e.url);
    }
    void OnResponseReceived(const vxrt::page::ResponseReceived& e) override
    {
        Touch(e.requestId + e.frameId);
        sum += static_cast<size_t>(e.status);
    }
    void OnLoadingFinished(const vxrt::page::LoadingFinished& e) override { Touch(e.requestId); }
    void OnLoadingFailed(const vxrt::page::LoadingFailed& e) override { Touch(e.requestId + e.errorText); }
    void OnFrameNavigated(const vxrt::page::FrameNavigated& e) override
    {
        Touch(e.frameId + e.parentId + e.url + e.name);
    }
    void OnNavigatedWithinDocument(const vxrt::page::NavigatedWithinDocument& e) override { Touch(e.frameId + e.url); }
    void OnLifecycleEvent(const vxrt::page::LifecycleEvent& e) override { Touch(e.frameId + e.name); }
    void OnFrameLoading(const vxrt::page::FrameLoading& e) override { Touch(e.frameId); }
    void OnFrameDetached(const vxrt::page::FrameDetached& e) override { Touch(e.frameId); }
    void OnExecutionContextCreated(const vxrt::page::ExecutionContextCreated& e) override
    {
        Touch(e.frameId);
        sum += static_cast<size_t>(e.contextId);
    }
    void OnJavascriptDialogOpening(const vxrt::page::JavascriptDialogOpening& e) override { Touch(e.type); }
    void OnTargetInfoChanged(const vxrt::target::InfoChanged& e) override
    {
        Touch(e.targetId + e.type + e.title + e.url);
    }
    void OnTargetGone(const vxrt::target::Gone& e) override { Touch(e.targetId + e.sessionId); }
};

const char* const kMethods[] = {
    "Page.screencastFrame",         "Network.requestWillBeSent", "Network.responseReceived",
    "Network.loadingFinished",      "Network.loadingFailed",     "Page.frameNavigated",
    "Page.navigatedWithinDocument", "Page.lifecycleEvent",       "Page.frameStartedLoading",
    "Page.frameStoppedLoading",     "Page.frameDetached",        "Runtime.executionContextCreated",
    "Page.javascriptDialogOpening", "Target.targetInfoChanged",  "Target.targetDestroyed",
    "Target.targetCrashed",         "Target.detachedFromTarget",
};

void Handle(const std::string& method, const vxrt::Json& params, TouchingSink& sink)
{
    vxrt::page::Dispatch(method, params, sink);
    vxrt::target::Dispatch(method, params, sink);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TouchingSink sink;
    const std::string text(reinterpret_cast<const char*>(data), size);
    vxrt::DevToolsMessage m = vxrt::ParseDevToolsMessage(text);
    if (m.kind == vxrt::DevToolsMessage::Kind::Event) Handle(m.method, m.params, sink);
    // A page can call the caret watch's function with any text.
    vxrt::CaretReport caret;
    if (vxrt::ReadCaretReport(text, caret) && caret.shown && (caret.height < 1 || caret.x > vxrt::kCaretCoordinateLimit))
        __builtin_trap();
    if (size > 0) {
        const std::string method = kMethods[data[0] % (sizeof kMethods / sizeof kMethods[0])];
        vxrt::Json params = vxrt::Json::parse(text.substr(1), nullptr, /*allow_exceptions=*/false);
        Handle(method, params, sink);
    }
    return 0;
}
