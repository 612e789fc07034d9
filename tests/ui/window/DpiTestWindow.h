#pragma once
// A skinned window for the display-scaling tests, and the test hook that
// chooses the density windows start with.

#include "ui/controls/ControlUI.h"
#include "ui/window/WindowImplBase.h"

namespace SkinUI {
namespace WindowTest {

const UINT kDpiChanged = 0x02E0;

// Lets the test choose the density a window starts with, and gives it back.
class DpiOverride {
public:
    explicit DpiOverride(int dpi) { CPaintManagerUI::OverrideDpi(dpi); }
    ~DpiOverride() { CPaintManagerUI::OverrideDpi(0); }
    DpiOverride(const DpiOverride&) = delete;
    DpiOverride& operator=(const DpiOverride&) = delete;
};

class ScaledWindow : public WindowImplBase {
public:
    // `skin` is markup or a document name; `folder` (below the executable's
    // folder) is where the skin's files are.
    explicit ScaledWindow(const wchar_t* skin, bool archive = false, const wchar_t* folder = L"")
        : m_skin(skin), m_archive(archive), m_folder(folder)
    {}
    ~ScaledWindow()
    {
        if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    }

    HWND Open()
    {
        HWND hWnd = Create(nullptr, L"dpi", WS_OVERLAPPEDWINDOW, 0, 0, 0, 10, 10);
        if (hWnd) {
            ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
            ::UpdateWindow(hWnd);
        }
        return hWnd;
    }

    CPaintManagerUI& Manager() { return m_PaintManager; }

    RECT Pos(const wchar_t* name)
    {
        ::UpdateWindow(m_hWnd);
        CControlUI* control = m_PaintManager.FindControl(name);
        return control ? control->GetPos() : RECT{-1, -1, -1, -1};
    }

    SIZE WindowSize() const
    {
        RECT rc;
        ::GetWindowRect(m_hWnd, &rc);
        return SIZE{rc.right - rc.left, rc.bottom - rc.top};
    }

    LRESULT HitTest(int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(m_hWnd, &pt);
        return SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return SendMessage(message, wParam, lParam); }

    void ChangeDpi(int dpi, RECT suggested)
    {
        SendMessage(kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"VornexDpiTestWindow"; }
    CUiString GetSkinFolder() override { return m_folder; }
    CUiString GetSkinFile() override { return m_skin; }
    UI_RESOURCETYPE GetResourceType() const override { return m_archive ? UI_RES_ZIPRESOURCE : UI_RES_FILE; }
    LPCTSTR GetResourceID() const override { return MAKEINTRESOURCEW(130); }
    // The application's own tags of the main skin are not the framework's.
    CControlUI* CreateControl(LPCTSTR) override { return nullptr; }

private:
    const wchar_t* m_skin;
    bool m_archive;
    const wchar_t* m_folder;
};

}  // namespace WindowTest
}  // namespace SkinUI
