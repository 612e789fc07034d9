#include "app/AppGlobals.h"

namespace Vornex {

std::wstring g_strAppDir;
int g_nExitPrompt = 1;
HWND g_hMainWnd = nullptr;

}  // namespace Vornex
