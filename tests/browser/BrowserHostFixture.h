#pragma once
// A real runtime started with the program's application object, a host
// window, and a client handler whose window and control are a recorder: what
// the handler reports is what the tests read.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BrowserPages.h"
#include "../runtime/ShellTestSupport.h"
#include "browser/CefAppEx.h"
#include "browser/CefHandler.h"

namespace vxtest {

using namespace Vornex;

// Stands in for the hosting window (load callback) and the control (delegate).
class HostRecorder : public CCefWebLoadCallback, public BrowserOwner {
public:
    struct Call {
        std::string op;
        CCefHandler* handler;
        int tag;
        bool hasArgument;  // false when the handler passed null (text, browser)
        std::wstring text;
        bool frameIsMain;
    };

    void OnWebLoadStart(CCefHandler* handler, int tag) override { Note("start", handler, tag); }
    void OnWebLoadEnd(CCefHandler* handler, int tag, CefRefPtr<CefBrowser> browser) override
    {
        Note("end", handler, tag, browser.get() != nullptr);
    }
    void OnWebLoadError(CCefHandler* handler, int tag, CefRefPtr<CefFrame> frame) override
    {
        Note("error", handler, tag, frame.get() != nullptr, nullptr, frame && frame->IsMain());
    }
    void OnWebTitleChange(CCefHandler* handler, int tag, const wchar_t* title) override
    {
        Note("title", handler, tag, title != nullptr, title);
    }
    bool OnWebBeforePopup(CCefHandler* handler, int tag, const wchar_t* url) override
    {
        Note("popup", handler, tag, url != nullptr, url);
        return refusePopups;
    }
    void SetBrowser(CefRefPtr<CefBrowser> browser) override { browsers.push_back(browser); }

    int Count(const std::string& op) const
    {
        int n = 0;
        for (const Call& c : calls) n += c.op == op;
        return n;
    }
    const Call* Last(const std::string& op) const
    {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->op == op) return &*it;
        return nullptr;
    }

    void Note(const char* op, CCefHandler* handler, int tag, bool hasArgument = false, const wchar_t* text = nullptr,
              bool frameIsMain = false)
    {
        Call c;
        c.op = op;
        c.handler = handler;
        c.tag = tag;
        c.hasArgument = hasArgument;
        c.text = text ? text : L"";
        c.frameIsMain = frameIsMain;
        calls.push_back(c);
    }

    bool refusePopups = true;
    std::vector<Call> calls;
    std::vector<CefRefPtr<CefBrowser>> browsers;
};

// The program's handler, noting what the runtime told it before it decided
// what to pass on, so a test can show there was something to filter.
class HandlerSpy : public CCefHandler {
public:
    struct Raw {
        std::string op;
        bool isMain;
        int code;
    };
    explicit HandlerSpy(BrowserOwner* owner) : CCefHandler(owner) {}
    void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) override
    {
        raw.push_back({"start", frame->IsMain(), 0});
        CCefHandler::OnLoadStart(browser, frame);
    }
    void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int status) override
    {
        raw.push_back({"end", frame->IsMain(), status});
        CCefHandler::OnLoadEnd(browser, frame, status);
    }
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode code, const CefString& text,
                     const CefString& url) override
    {
        raw.push_back({"error", frame->IsMain(), code});
        CCefHandler::OnLoadError(browser, frame, code, text, url);
    }
    bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              CefRefPtr<CefContextMenuParams> params, int command_id, EventFlags flags) override
    {
        commands.push_back(command_id);
        return CCefHandler::OnContextMenuCommand(browser, frame, params, command_id, flags);
    }
    // code 0: any code.
    bool Saw(const std::string& op, bool isMain, int code = 0) const
    {
        for (const Raw& r : raw)
            if (r.op == op && r.isMain == isMain && (code == 0 || r.code == code)) return true;
        return false;
    }
    std::vector<Raw> raw;
    std::vector<int> commands;
};

class BrowserHostTest : public BrowserPageSuite {
protected:
    static constexpr int kTag = 7;

    void SetUp() override
    {
        profile = UniqueTempDir(L"vxbr-host");
        app = new CCefAppEx;
        session.reset(new RuntimeSession(profile, app.get()));
        ASSERT_TRUE(session->ok);
        host.reset(new HostWindow(820, 640));
        handler = spy = new HandlerSpy(&recorder);
        handler->SetLoadCallback(&recorder, kTag);
    }
    void TearDown() override
    {
        // Pop-ups the window let through are top-level browsers of their own.
        for (HWND popup; (popup = FindOwnTopLevel(L"CefBrowserWindow")) != nullptr;) {
            PostMessageW(popup, WM_CLOSE, 0, 0);
            if (!PumpUntil([&] { return !IsWindow(popup); }, 5000)) DestroyWindow(popup);
        }
        if (!recorder.browsers.empty() && host->Handle()) {
            recorder.browsers[0]->GetHost()->CloseBrowser(true);
            PumpUntil([&] { return !IsWindow(recorder.browsers[0]->GetHost()->GetWindowHandle()); }, 5000);
        }
        handler->Detach();
        host.reset();
        recorder.browsers.clear();
        handler = nullptr;
        spy = nullptr;
        session.reset();
        app = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 10000));
    }
    // Opens path in a child browser and waits for the first main-frame load.
    void Open(const std::string& path)
    {
        RECT rc = {0, 0, 800, 600};
        CreateBrowser(host->Handle(), rc, handler.get(), server->Url(path));
        ASSERT_EQ(recorder.browsers.size(), 1u);
        ASSERT_TRUE(PumpUntil([&] { return recorder.Count("end") > 0; }, 30000));
    }
    CefRefPtr<CefBrowser> Browser() { return recorder.browsers.at(0); }
    HWND View() { return Browser()->GetHost()->GetWindowHandle(); }
    void Post(UINT msg, WPARAM wp, int x, int y) { PostMessageW(View(), msg, wp, MAKELPARAM(x, y)); }
    void RunScript(const std::string& code) { Browser()->GetMainFrame()->ExecuteJavaScript(CefString(code), "", 0); }
    void Load(const std::string& url) { Browser()->GetMainFrame()->LoadURL(CefString(url)); }
    static HWND FindOwnTopLevel(const wchar_t* cls)
    {
        HWND h = nullptr;
        while ((h = FindWindowExW(nullptr, h, cls, nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == GetCurrentProcessId()) return h;
        }
        return nullptr;
    }

    std::wstring profile;
    CefRefPtr<CCefAppEx> app;
    std::unique_ptr<RuntimeSession> session;
    std::unique_ptr<HostWindow> host;
    HostRecorder recorder;
    CefRefPtr<CCefHandler> handler;
    HandlerSpy* spy = nullptr;  // the same object as handler
};

}  // namespace vxtest
