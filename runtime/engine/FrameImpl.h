#pragma once
// A frame of a browser's page, and the script contexts handed to the
// render-process handler.

#include <string>

#include "runtime/engine/BrowserImpl.h"

namespace vxrt {

class FrameImpl : public CefFrame {
public:
    FrameImpl(BrowserImpl* browser, const std::string& id, bool isMain);

    void SetUrl(const std::string& url);
    void SetName(const std::string& name);
    void SetParent(CefRefPtr<FrameImpl> parent);
    void Detach();  // drops the browser reference (breaks the cycle)
    // The main frame of a browser made while the engine started has its
    // engine id only once its page exists.
    void SetId(const std::string& id);

    bool IsValid() override;
    void Undo() override { Command("undo"); }
    void Redo() override { Command("redo"); }
    void Cut() override { Command("cut"); }
    void Copy() override { Command("copy"); }
    void Paste() override { Command("paste"); }
    void Delete() override { Command("delete"); }
    void SelectAll() override { Command("selectAll"); }
    void ViewSource() override;
    void LoadURL(const CefString& url) override;
    void ExecuteJavaScript(const CefString& code, const CefString& script_url, int start_line) override;
    bool IsMain() override { return m_isMain; }
    bool IsFocused() override { return m_isMain; }
    CefString GetName() override;
    CefString GetIdentifierString() override;
    CefRefPtr<CefFrame> GetParent() override;
    CefString GetURL() override;
    CefRefPtr<CefBrowser> GetBrowser() override;

    IMPLEMENT_REFCOUNTING(FrameImpl);

private:
    void Command(const char* execCommand);

    std::mutex m_lock;
    CefRefPtr<BrowserImpl> m_browser;
    std::string m_id;
    const bool m_isMain;
    std::string m_url;
    std::string m_name;
    CefRefPtr<FrameImpl> m_parent;
};

class V8ContextImpl : public CefV8Context {
public:
    V8ContextImpl(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int contextId);

    bool IsValid() override { return true; }
    CefRefPtr<CefBrowser> GetBrowser() override { return m_browser; }
    CefRefPtr<CefFrame> GetFrame() override { return m_frame; }
    bool Enter() override;
    bool Exit() override;
    bool IsSame(CefRefPtr<CefV8Context> that) override { return that.get() == this; }
    int EnterDepth() const { return m_depth; }

    IMPLEMENT_REFCOUNTING(V8ContextImpl);

private:
    CefRefPtr<CefBrowser> m_browser;
    CefRefPtr<CefFrame> m_frame;
    const int m_contextId;
    int m_depth = 0;
};

}  // namespace vxrt
