#pragma once
// An ordered list of controls held weakly (the post-paint list, the members
// of a group). A control that dies simply drops out: every operation first
// forgets the references that went dead, so sizes and indexes count live
// controls only, as if each dead one had removed itself.

#include "ui/base/StdPtrArray.h"
#include "ui/paint/ControlRef.h"

#include <vector>

namespace SkinUI {

class ControlRefList {
public:
    // Appends (a control may be listed more than once); false for a dead
    // or null reference.
    bool Add(const ControlRef& control);
    // Inserts before the index-th live control (at the end when it equals
    // the size); false when out of range or dead.
    bool InsertAt(int index, const ControlRef& control);
    // Removes the first occurrence; false when not listed.
    bool Remove(const CControlUI* control);
    bool Contains(const CControlUI* control) const;
    int Size() const;
    bool IsEmpty() const { return Size() == 0; }
    void Clear();

    // The live controls, in order, as an array callers may walk by index.
    // Valid until the next call on this list.
    CStdPtrArray* Live();
    // A copy of the references, for walks that call out to the controls
    // (which may add, remove or destroy members meanwhile).
    std::vector<ControlRef> Snapshot() const { return m_refs; }

private:
    void DropGone();

    std::vector<ControlRef> m_refs;
    CStdPtrArray m_live{6};
};

}  // namespace SkinUI
