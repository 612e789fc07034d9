#pragma once
// The framework's tag -> control class table.

#include "ui/base/Platform.h"

namespace SkinUI {

class CControlUI;

// A new control for a framework tag (exact, case-sensitive), or null for a
// tag this build of the framework has no class for.
CControlUI* CreateFrameworkControl(LPCTSTR tag);

}  // namespace SkinUI
