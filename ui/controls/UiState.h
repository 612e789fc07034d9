#pragma once
// State bits of controls that react to the mouse (buttons, options, the
// scroll bar's parts).

#include "ui/base/Platform.h"

namespace SkinUI {

constexpr UINT UISTATE_FOCUSED = 0x00000001;
constexpr UINT UISTATE_SELECTED = 0x00000002;
constexpr UINT UISTATE_DISABLED = 0x00000004;
constexpr UINT UISTATE_HOT = 0x00000008;
constexpr UINT UISTATE_PUSHED = 0x00000010;
constexpr UINT UISTATE_READONLY = 0x00000020;
constexpr UINT UISTATE_CAPTURED = 0x00000040;

}  // namespace SkinUI
