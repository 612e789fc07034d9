#pragma once
// The small modal dialog that asks before the program closes. "确定"
// confirms (and, with "记住我的选择，不再提醒" ticked, stores that later runs
// close without asking); "取消" and the dialog's close button keep the
// program running.

#include "ui/window/WindowImplBase.h"

namespace Vornex {

class CExitWnd : public SkinUI::WindowImplBase {
public:
    CExitWnd() = default;

    LPCTSTR GetWindowClassName() const override;
    void InitWindow() override;
    void OnClick(SkinUI::TNotifyUI& msg) override;

protected:
    SkinUI::CUiString GetSkinFolder() override;
    SkinUI::CUiString GetSkinFile() override;
    void OnFinalMessage(HWND hWnd) override;

private:
    SkinUI::CControlUI* m_pCheckRemember = nullptr;
    SkinUI::CControlUI* m_pBtnOk = nullptr;
    SkinUI::CControlUI* m_pBtnCancel = nullptr;
};

}  // namespace Vornex
