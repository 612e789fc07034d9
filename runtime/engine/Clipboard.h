#pragma once
// Text on the Windows clipboard. The engine runs headless on the Linux side
// and never sees this clipboard, so the runtime moves text itself.

#include <windows.h>

#include <string>

namespace vxrt {

bool SetClipboardText(HWND owner, const std::wstring& text);
bool GetClipboardText(HWND owner, std::wstring& text);

}  // namespace vxrt
