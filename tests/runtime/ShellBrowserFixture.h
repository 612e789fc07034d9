#pragma once
// A fresh runtime and host window per test, pages from shell_pages.py, and
// the check that no engine process outlives the test.

#include <gtest/gtest.h>

#include <memory>

#include "PageServerSuite.h"
#include "ShellTestSupport.h"

namespace vxtest {

class ShellBrowserTest : public PagesSuite<ShellPages> {
protected:
    void SetUp() override
    {
        profile = UniqueTempDir(L"vxrt-shell");
        session.reset(new RuntimeSession(profile));
        ASSERT_TRUE(session->ok);
        host.reset(new HostWindow(820, 640));
        client = new ShellClient;
    }
    void TearDown() override
    {
        std::vector<CefRefPtr<CefBrowser>> open = client->browsers;
        for (auto& b : open)
            if (b->GetHost()->GetWindowHandle()) b->GetHost()->CloseBrowser(true);
        PumpUntil([&] { return client->closed >= static_cast<int>(open.size()) || !host->Handle(); }, 5000);
        // Pop-up browsers own top-level windows of their own.
        for (auto& b : open)
            if (HWND h = b->GetHost()->GetWindowHandle())
                if (GetParent(h) == nullptr) DestroyWindow(h);
        host.reset();
        client->browsers.clear();
        session.reset();
        EXPECT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 10000));
    }
    // Opens path in a child browser and waits for its first load.
    CefRefPtr<CefBrowser> Open(const std::string& path)
    {
        RECT rc = {0, 0, 800, 600};
        CefRefPtr<CefBrowser> b = CreateBrowser(host->Handle(), rc, client.get(), server->Url(path));
        EXPECT_TRUE(b.get() != nullptr);
        EXPECT_TRUE(PumpUntil([&] { return !client->loadEnds.empty(); }, 30000));
        return b;
    }
    HWND View() { return client->browsers.empty() ? nullptr : client->browsers[0]->GetHost()->GetWindowHandle(); }
    void Post(UINT msg, WPARAM wp, int x, int y) { PostMessageW(View(), msg, wp, MAKELPARAM(x, y)); }
    void RightClick(int x, int y)
    {
        Post(WM_RBUTTONDOWN, MK_RBUTTON, x, y);
        Post(WM_RBUTTONUP, 0, x, y);
    }
    void LeftClick(int x, int y)
    {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Post(WM_LBUTTONUP, 0, x, y);
    }
    void RunScript(const std::string& code)
    {
        client->browsers[0]->GetMainFrame()->ExecuteJavaScript(CefString(code), CefString(""), 0);
    }
    bool Pump(const std::function<bool()>& pred, DWORD ms = 30000) { return PumpUntil(pred, ms); }

    std::wstring profile;
    std::unique_ptr<RuntimeSession> session;
    std::unique_ptr<HostWindow> host;
    CefRefPtr<ShellClient> client;
};

}  // namespace vxtest
