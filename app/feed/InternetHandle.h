#pragma once
// An owned WinInet handle (session, connection or request), closed exactly
// once. Move-only.

#include "ui/base/Platform.h"
#include "ui/base/UniqueHandle.h"

#include <wininet.h>

namespace Vornex {

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static bool IsValid(HINTERNET handle) { return handle != nullptr; }
    static void Close(HINTERNET handle) { ::InternetCloseHandle(handle); }
};

using CInternetHandle = SkinUI::UniqueHandle<InternetHandleTraits>;

}  // namespace Vornex
