#pragma once
// Stacks its children top to bottom. Children without a height share the
// height the others leave; a separator strip can make the layout resizable.

#include "ui/controls/StackLayoutUI.h"

namespace SkinUI {

class CVerticalLayoutUI : public CStackLayoutUI {
public:
    CVerticalLayoutUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    // The separator's height: >= 0 at the bottom edge, < 0 at the top.
    void SetSepHeight(int iHeight);
    int GetSepHeight() const;

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
};

}  // namespace SkinUI
