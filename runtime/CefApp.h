#pragma once
// The application object and its per-process handlers.

#include "runtime/CefHandlers.h"

class CefCommandLine : public virtual CefBase {
public:
    virtual bool HasSwitch(const CefString& name) = 0;
    virtual CefString GetSwitchValue(const CefString& name) = 0;
    virtual void AppendSwitch(const CefString& name) = 0;
    virtual void AppendSwitchWithValue(const CefString& name, const CefString& value) = 0;
};

class CefSchemeRegistrar : public virtual CefBase {};
class CefResourceBundleHandler : public virtual CefBase {};
class CefListValue : public virtual CefBase {};

class CefBrowserProcessHandler : public virtual CefBase {
public:
    virtual void OnContextInitialized() {}
    virtual void OnBeforeChildProcessLaunch(CefRefPtr<CefCommandLine> command_line) {}
    virtual void OnRenderProcessThreadCreated(CefRefPtr<CefListValue> extra_info) {}
};

class CefRenderProcessHandler : public virtual CefBase {
public:
    virtual void OnRenderThreadCreated(CefRefPtr<CefListValue> extra_info) {}
    virtual void OnWebKitInitialized() {}
    virtual void OnBrowserCreated(CefRefPtr<CefBrowser> browser) {}
    virtual void OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) {}
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    // A new main-world script context of a frame.
    virtual void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  CefRefPtr<CefV8Context> context)
    {}
    virtual void OnContextReleased(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefV8Context> context)
    {}
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, cef_process_id_t source_process,
                                          CefRefPtr<CefProcessMessage> message)
    {
        return false;
    }
};

class CefApp : public virtual CefBase {
public:
    virtual void OnBeforeCommandLineProcessing(const CefString& process_type, CefRefPtr<CefCommandLine> command_line) {}
    virtual void OnRegisterCustomSchemes(CefRefPtr<CefSchemeRegistrar> registrar) {}
    virtual CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() { return nullptr; }
    virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};
