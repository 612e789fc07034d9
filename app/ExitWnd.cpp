#include "app/ExitWnd.h"

#include "app/AppConfig.h"
#include "app/AppGlobals.h"
#include "app/AppMessages.h"
#include "ui/controls/OptionUI.h"

namespace Vornex {

using SkinUI::CUiString;
using SkinUI::TNotifyUI;

// The same class as the main window: registering it again is accepted.
LPCTSTR CExitWnd::GetWindowClassName() const { return L"MainWndClass"; }
// The markup and images come from the skin archive the main window installed.
CUiString CExitWnd::GetSkinFolder() { return L"Skin"; }
CUiString CExitWnd::GetSkinFile() { return L"ExitWnd.xml"; }

void CExitWnd::InitWindow()
{
    m_pCheckRemember = m_PaintManager.FindControl(L"check_remember");
}

// clang-format off
UI_BEGIN_MESSAGE_MAP(CExitWnd, WindowImplBase)
UI_ON_CLICK_CTRNAME(L"btn_ok", OnOkClick)
UI_ON_CLICK_CTRNAME(L"btn_cancel", OnCancelClick)
UI_END_MESSAGE_MAP()
// clang-format on

void CExitWnd::OnOkClick(TNotifyUI&)
{
    auto* remember = dynamic_cast<SkinUI::COptionUI*>(m_pCheckRemember);
    // An unwritable file loses the choice; the program closes anyway.
    if (remember != nullptr && remember->IsSelected()) WriteNoExitPrompt(g_strAppDir);
    if (g_hMainWnd != nullptr) ::PostMessageW(g_hMainWnd, UM_CLOSEMAIN, 0, 0);
    Close(IDOK);
}

void CExitWnd::OnCancelClick(TNotifyUI&) { Close(IDOK); }

void CExitWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    DeleteWhenUnwound();
}

}  // namespace Vornex
