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

protected:
    SkinUI::CUiString GetSkinFolder() override;
    SkinUI::CUiString GetSkinFile() override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void OnOkClick(SkinUI::TNotifyUI& msg);
    void OnCancelClick(SkinUI::TNotifyUI& msg);

    SkinUI::CControlUI* m_pCheckRemember = nullptr;

    UI_DECLARE_MESSAGE_MAP(CExitWnd)
};

}  // namespace Vornex
