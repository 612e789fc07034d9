#pragma once
// The half of a paint manager that knows controls (ui/controls/dispatch),
// as the paint half sees it. The paint half is built below the controls, so
// it reaches that half only through this interface, which the controls half
// hands over when a tree is first attached.

namespace SkinUI {

class CPaintManagerUI;

class ControlTreeSide {
public:
    // The manager is being destroyed: deletes its tree and every control
    // awaiting deletion.
    virtual void DeleteAllControls(CPaintManagerUI& manager) const = 0;
    // The window's density changed: every control of the tree takes its
    // metrics again from their 100 % values.
    virtual void RescaleAllControls(CPaintManagerUI& manager) const = 0;

protected:
    ~ControlTreeSide() = default;
};

}  // namespace SkinUI
