#pragma once
// How the paint manager and its parts hold a control they do not own (the
// hover, click, key and focus controls, the root, timers, groups, the
// post-paint list, notification senders): a weak reference that reads as
// null from the moment the control starts dying, or is reaped. Nothing has
// to be cleared by hand when a control goes, and a control that later takes
// the same address is never mistaken for the dead one.
//
// Controls hand them out (CControlUI::GetWeakRef); this layer only keeps and
// compares them, so it needs no more than the declaration of CControlUI.

#include "ui/base/WeakRef.h"

namespace SkinUI {

class CControlUI;

using ControlRef = WeakRef<CControlUI>;

// True when `ref` is a live reference to `control` (never for null).
inline bool RefersTo(const ControlRef& ref, const CControlUI* control)
{
    return control != nullptr && ref.Get() == control;
}

}  // namespace SkinUI
