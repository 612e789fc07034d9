#pragma once
// Owned kernel handles (files, threads, events, mappings). Windows only.

#include "ui/base/Platform.h"
#include "ui/base/UniqueHandle.h"

namespace SkinUI {

struct KernelHandleTraits {
    using Handle = HANDLE;
    // CreateFile fails with INVALID_HANDLE_VALUE, most others with null.
    static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;

}  // namespace SkinUI
