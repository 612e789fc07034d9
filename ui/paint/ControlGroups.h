#pragma once
// Named groups of controls of one window (option groups, hot-key groups).
// The groups are owned here; the controls are not.

#include "ui/base/StdPtrArray.h"
#include "ui/base/StdStringOwningMap.h"

namespace SkinUI {

class CControlUI;

class ControlGroups {
public:
    ControlGroups() = default;
    ~ControlGroups() = default;
    ControlGroups(const ControlGroups&) = delete;
    ControlGroups& operator=(const ControlGroups&) = delete;

    // Adds `control` to `group` (made on first use); false when it is
    // already a member.
    bool Add(LPCTSTR group, CControlUI* control);
    CStdPtrArray* Find(LPCTSTR group) const;
    // Removes the first occurrence; a group left empty is deleted.
    void Remove(LPCTSTR group, CControlUI* control);
    // Takes `control` out of every group (a control that goes away).
    void RemoveEverywhere(CControlUI* control);
    void Clear();

private:
    CStdStringOwningMap<CStdPtrArray> m_groups{83};
};

}  // namespace SkinUI
