#pragma once
// An option named as a check box: SetCheck / GetCheck select and read it.

#include "ui/controls/OptionUI.h"

namespace SkinUI {

class CCheckBoxUI : public COptionUI {
public:
    LPCTSTR GetClass() const override;
    void SetCheck(bool bCheck) { Selected(bCheck); }
    bool GetCheck() const { return IsSelected(); }
};

}  // namespace SkinUI
