#pragma once
// The process-wide resource context of the skin framework: the module
// instance, an optional resource module, the skin folder and an optional
// skin archive (a file name relative to the skin folder, or a memory block
// marked by the reserved name "membuffer"). Every markup and image load asks
// it where the bytes behind a skin file name come from. It is used on the UI
// thread only and is not locked.
//
// CPaintManagerUI derives from it, so the framework's calls read
// CPaintManagerUI::SetResourceZip(...) and the like.

#include "ui/base/Platform.h"
#include "ui/base/UiString.h"

#include <cstddef>
#include <memory>

namespace SkinUI {

class ZipArchive;

class CResourceContextUI {
public:
    // Windows only: the program's module, its folder (with the trailing
    // backslash; empty without an instance), the current directory, and the
    // module that holds resources (the instance unless one is set).
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    static CUiString GetInstancePath();
    static void SetCurrentPath(LPCTSTR path);
    static void SetResourceDll(HINSTANCE module);
    static HINSTANCE GetResourceDll();

    // The skin folder always ends with a backslash: one is appended when
    // missing. An empty path, or one that does not fit, changes nothing.
    static void SetResourcePath(LPCTSTR path);
    static LPCTSTR GetResourcePath();

    // Selects the archive file `name` (relative to the skin folder). With
    // `cached` the archive is opened now and stays open until Term or the
    // next selection. Ignored while an in-memory archive is installed and
    // `cached` equals the current caching flag.
    static void SetResourceZip(LPCTSTR name, bool cached = false);
    // Installs an in-memory archive over `buffer` (not copied: it must live
    // as long as the process uses the skin). The first one installed stays
    // for the life of the process; later calls change nothing.
    static void SetResourceZip(LPCVOID buffer, unsigned size);
    static LPCTSTR GetResourceZip();
    static bool IsCachedResourceZip();
    // The archive kept open while caching is on, else null.
    static ZipArchive* GetResourceZipHandle();

    // Closes the kept archive.
    static void Term();

    // The reserved archive name of an in-memory archive.
    static const wchar_t kMemoryArchiveName[];
    static const size_t kMaxPath = 260;

protected:
    CResourceContextUI() = default;
    ~CResourceContextUI() = default;

private:
    friend struct ResourceContextTestAccess;
    // Back to the state at process start (tests only).
    static void ResetResourceContext();

    static HINSTANCE m_hInstance;
    static HINSTANCE m_hResourceInstance;
    static wchar_t m_szResDirPath[kMaxPath];
    static wchar_t m_szResZipPath[kMaxPath];
    static bool m_bCachedResourceZip;
    static std::unique_ptr<ZipArchive> m_hResourceZip;
};

}  // namespace SkinUI
