// SkinView: shows one skin document of the linked skin archive in a live
// skinned window, so that a skin can be looked at and driven by hand or by
// the end-to-end tests.
//
//   SkinView.exe [document] [--modal] [--folder <dir>]
//
// document   markup file in the skin (default ExitWnd.xml)
// --modal    runs the window in the framework's modal loop (where Alt+F4
//            goes through the window's key filter)
// --folder   reads the skin from files in <dir> instead of the archive
//
// The window's class is "SkinViewWnd" and its title "SkinView". The exit
// code is 0 when the window closed, 1 when the skin could not be built.

#include "ui/controls/ControlUI.h"
#include "ui/window/WindowImplBase.h"
#include "ui/window/WndShadow.h"

#include <shellapi.h>

#include <cwchar>

using namespace SkinUI;

namespace {

class CSkinViewWnd : public WindowImplBase {
public:
    CSkinViewWnd(CUiString document, CUiString folder, bool modal)
        : m_document(document), m_folder(folder), m_modal(modal)
    {}

protected:
    LPCTSTR GetWindowClassName() const override { return L"SkinViewWnd"; }
    CUiString GetSkinFolder() override { return m_folder; }
    CUiString GetSkinFile() override { return m_document; }
    UI_RESOURCETYPE GetResourceType() const override { return m_folder.IsEmpty() ? UI_RES_ZIPRESOURCE : UI_RES_FILE; }
    LPCTSTR GetResourceID() const override { return MAKEINTRESOURCEW(130); }

    // The application's own tags ("CefWeb", "ScrollTextButton") are not
    // part of the framework: the viewer leaves them out.
    CControlUI* CreateControl(LPCTSTR) override { return nullptr; }

    void OnClick(TNotifyUI& msg) override
    {
        if (msg.pSender && (msg.pSender->GetName() == L"btn_ok" || msg.pSender->GetName() == L"btn_cancel")) {
            Close(IDOK);
            return;
        }
        WindowImplBase::OnClick(msg);
    }

    void OnFinalMessage(HWND hWnd) override
    {
        WindowImplBase::OnFinalMessage(hWnd);
        if (!m_modal) ::PostQuitMessage(0);
        DeleteWhenUnwound();
    }

private:
    CUiString m_document;
    CUiString m_folder;
    bool m_modal;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CUiString document = L"ExitWnd.xml";
    CUiString folder;
    bool modal = false;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    for (int i = 1; argv && i < argc; ++i) {
        if (wcscmp(argv[i], L"--modal") == 0) {
            modal = true;
        } else if (wcscmp(argv[i], L"--folder") == 0 && i + 1 < argc) {
            folder = argv[++i];
            if (folder.GetLength() > 0 && folder[folder.GetLength() - 1] != L'\\') folder += L"\\";
        } else {
            document = argv[i];
        }
    }
    if (argv) ::LocalFree(argv);

    CPaintManagerUI::SetInstance(instance);
    CWndShadow::Initialize(instance);

    auto* window = new CSkinViewWnd(document, folder, modal);
    if (!window->Create(nullptr, L"SkinView", WS_OVERLAPPEDWINDOW, 0)) {
        delete window;
        return 1;
    }
    window->CenterWindow();
    if (modal) {
        window->ShowModal();
    } else {
        window->ShowWindow(true);
        CPaintManagerUI::MessageLoop();
    }
    CPaintManagerUI::Term();
    return 0;
}
