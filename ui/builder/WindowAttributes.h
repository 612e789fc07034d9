#pragma once
// The root `Window` element's attributes: window properties of a paint
// manager.

#include "ui/base/Platform.h"

namespace SkinUI {

class CPaintManagerUI;

// Applies one attribute; unknown names are ignored. A "size" whose width or
// height is not positive is ignored too (the window keeps its size), and
// sizes are limited to kMaxWindowExtent so that the window stays a window.
void ApplyWindowAttribute(CPaintManagerUI& manager, LPCTSTR name, LPCTSTR value);

const int kMaxWindowExtent = 16384;

}  // namespace SkinUI
