#pragma once
// The DevTools events the runtime acts on, each read into a record of its
// own with checked field access, and handed to one function per event.
// Portable: the dispatch runs natively under the fuzzer exactly as it runs
// in the program.

#include <string>

#include "runtime/protocol/Json.h"

namespace vxrt {

// Events of one page's session.
namespace page {

struct ScreencastFrame {
    const std::string* data = nullptr;  // base64 picture; null when absent (still acknowledged)
    int ackId = 0;
    // Where the viewport stood in the document when the frame was drawn (CSS
    // pixels); pictures asked for a part of the page are placed by them.
    double scrollX = 0, scrollY = 0;
    // The size of the view drawn (CSS pixels; 0 when not told). A picture
    // taken of part of the page draws a view of that part's size, and the
    // screencast sends that drawing too.
    int viewWidth = 0, viewHeight = 0;
};
struct RequestWillBeSent {
    std::string requestId, frameId, url;
    bool document = false;
};
struct ResponseReceived {
    std::string requestId, frameId;
    int status = 0;
    bool document = false;
};
struct LoadingFinished {
    std::string requestId;
};
struct LoadingFailed {
    std::string requestId, errorText;
    bool canceled = false;
    bool document = false;
};
struct FrameNavigated {
    std::string frameId, parentId, url, name;
    bool errorPage = false;  // the engine shows its own error page
};
// A fragment link, history.pushState or replaceState: the address changed,
// the document did not.
struct NavigatedWithinDocument {
    std::string frameId, url;
};
struct LifecycleEvent {
    std::string frameId, name;
};
struct FrameLoading {
    std::string frameId;
    bool started = false;
};
struct FrameDetached {
    std::string frameId;
};
struct ExecutionContextCreated {
    int contextId = 0;
    std::string frameId;
    bool isDefault = false;
};
struct JavascriptDialogOpening {
    std::string type;
};
// A page script called a function the runtime bound into it.
struct BindingCalled {
    std::string name, payload;
};
// The page's renderer died (crashed or killed); the target and the session
// stay, and a new load brings a new renderer.
struct RendererGone {
    std::string targetId;  // empty when the page's session told it
};

class EventSink {
public:
    virtual void OnScreencastFrame(const ScreencastFrame&) {}
    virtual void OnRequestWillBeSent(const RequestWillBeSent&) {}
    virtual void OnResponseReceived(const ResponseReceived&) {}
    virtual void OnLoadingFinished(const LoadingFinished&) {}
    virtual void OnLoadingFailed(const LoadingFailed&) {}
    virtual void OnFrameNavigated(const FrameNavigated&) {}
    virtual void OnNavigatedWithinDocument(const NavigatedWithinDocument&) {}
    virtual void OnLifecycleEvent(const LifecycleEvent&) {}
    virtual void OnFrameLoading(const FrameLoading&) {}
    virtual void OnFrameDetached(const FrameDetached&) {}
    virtual void OnExecutionContextCreated(const ExecutionContextCreated&) {}
    virtual void OnJavascriptDialogOpening(const JavascriptDialogOpening&) {}
    virtual void OnBindingCalled(const BindingCalled&) {}
    virtual void OnRendererGone(const RendererGone&) {}

protected:
    ~EventSink() = default;
};

// Reads the event and calls its function; false for events of no interest
// and for events lacking what their function needs (those are dropped).
bool Dispatch(const std::string& method, const Json& params, EventSink& sink);

}  // namespace page

// The browser-wide target events that concern one page.
namespace target {

struct InfoChanged {
    std::string targetId, type, title, url;
};
// The page's target went away: closed, or detached from us. A crashed
// renderer is not that (page::RendererGone): the page can come back.
struct Gone {
    std::string targetId;   // empty for a detach reported by session only
    std::string sessionId;  // set for a detach
};

class EventSink {
public:
    virtual void OnTargetInfoChanged(const InfoChanged&) {}
    virtual void OnTargetGone(const Gone&) {}
    virtual void OnRendererGone(const page::RendererGone&) {}

protected:
    ~EventSink() = default;
};

bool Dispatch(const std::string& method, const Json& params, EventSink& sink);

}  // namespace target
}  // namespace vxrt
