#include "runtime/engine/FrameImpl.h"

namespace vxrt {

namespace {
thread_local int t_enteredContexts = 0;
}

FrameImpl::FrameImpl(BrowserImpl* browser, const std::string& id, bool isMain)
    : m_browser(browser), m_id(id), m_isMain(isMain)
{}

void FrameImpl::SetId(const std::string& id)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_id = id;
}

CefString FrameImpl::GetIdentifierString()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return CefString(m_id);
}

void FrameImpl::SetUrl(const std::string& url)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_url = url;
}

void FrameImpl::SetName(const std::string& name)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_name = name;
}

void FrameImpl::SetParent(CefRefPtr<FrameImpl> parent)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_parent = parent;
}

void FrameImpl::Detach()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_browser = nullptr;
    m_parent = nullptr;
}

bool FrameImpl::IsValid()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_browser.get() != nullptr;
}

CefString FrameImpl::GetName()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return CefString(m_name);
}

CefString FrameImpl::GetURL()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return CefString(m_url);
}

CefRefPtr<CefFrame> FrameImpl::GetParent()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_parent.get();
}

CefRefPtr<CefBrowser> FrameImpl::GetBrowser()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_browser.get();
}

void FrameImpl::Command(const char* execCommand)
{
    CefRefPtr<BrowserImpl> b;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        b = m_browser;
    }
    if (!b) return;
    b->Send("Runtime.evaluate",
            {{"expression", std::string("document.execCommand('") + execCommand + "')"}, {"userGesture", true}});
}

void FrameImpl::ViewSource()
{
    CefString url = GetURL();
    if (!url.empty()) LoadURL(CefString("view-source:" + url.ToString()));
}

void FrameImpl::LoadURL(const CefString& url)
{
    CefRefPtr<BrowserImpl> b;
    std::string id;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        b = m_browser;
        id = m_id;
    }
    if (!b) return;
    if (m_isMain) {
        b->NavigateMain(url.ToString());
        return;
    }
    b->Send("Page.navigate", {{"url", url.ToString()}, {"frameId", id}});
}

void FrameImpl::ExecuteJavaScript(const CefString& code, const CefString& script_url, int start_line)
{
    CefRefPtr<BrowserImpl> b;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        b = m_browser;
    }
    if (!b) return;
    b->Send("Runtime.evaluate", {{"expression", code.ToString()}});
}

V8ContextImpl::V8ContextImpl(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int contextId)
    : m_browser(browser), m_frame(frame), m_contextId(contextId)
{}

bool V8ContextImpl::Enter()
{
    ++m_depth;
    ++t_enteredContexts;
    return true;
}

bool V8ContextImpl::Exit()
{
    // An Exit without its Enter is refused rather than unbalancing the count.
    if (m_depth == 0) return false;
    --m_depth;
    --t_enteredContexts;
    return true;
}

}  // namespace vxrt

bool CefV8Context::InContext() { return vxrt::t_enteredContexts > 0; }
