#pragma once
// Places its children left to right. Children without a width share the
// width the others leave; a separator strip can make the layout resizable.

#include "ui/controls/StackLayoutUI.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CStackLayoutUI {
public:
    CHorizontalLayoutUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    // The separator's width: >= 0 at the right edge, < 0 at the left.
    void SetSepWidth(int iWidth);
    int GetSepWidth() const;

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
};

}  // namespace SkinUI
