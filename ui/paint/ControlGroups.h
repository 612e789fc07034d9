#pragma once
// Named groups of controls of one window (option groups, hot-key groups).
// The groups are owned here; the controls are held weakly: a member that
// dies leaves its group by itself, and a group left empty reads as gone.

#include "ui/base/StdPtrArray.h"
#include "ui/base/StdStringOwningMap.h"
#include "ui/paint/ControlRefList.h"

namespace SkinUI {

class ControlGroups {
public:
    ControlGroups() = default;
    ~ControlGroups() = default;
    ControlGroups(const ControlGroups&) = delete;
    ControlGroups& operator=(const ControlGroups&) = delete;

    // Adds `control` to `group` (made on first use); false when it is
    // already a member.
    bool Add(LPCTSTR group, const ControlRef& control);
    // The live members, or null when the group has none (it is deleted
    // then). The array stays valid until the next call for the same group.
    CStdPtrArray* Find(LPCTSTR group);
    // Removes the first occurrence; a group left empty is deleted.
    void Remove(LPCTSTR group, const CControlUI* control);
    void Clear();

private:
    CStdStringOwningMap<ControlRefList> m_groups{83};
};

}  // namespace SkinUI
