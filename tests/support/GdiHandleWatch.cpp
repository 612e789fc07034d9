#include "tests/support/GdiHandleWatch.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>

namespace SkinUI {
namespace Test {

namespace {

std::mutex g_lock;
std::atomic<bool> g_recording{false};
std::vector<HGDIOBJ> g_created;
std::vector<HDC> g_taken;

void RecordCreated(const void* handle)
{
    if (!handle || !g_recording.load()) return;
    std::lock_guard<std::mutex> hold(g_lock);
    g_created.push_back(const_cast<HGDIOBJ>(handle));
}

void RecordTaken(HDC hdc)
{
    if (!hdc || !g_recording.load()) return;
    std::lock_guard<std::mutex> hold(g_lock);
    g_taken.push_back(hdc);
}

void RecordReleased(HDC hdc)
{
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = std::find(g_taken.begin(), g_taken.end(), hdc);
    if (it != g_taken.end()) g_taken.erase(it);
}

// A recorder per function: calls the original through the pointer saved
// from the import table and notes what it returned.
#define VX_RECORD_CREATE(Ret, Name, Params, Args)                                                                      \
    using Name##Fn = Ret(WINAPI*) Params;                                                                              \
    Name##Fn g_original##Name = nullptr;                                                                               \
    Ret WINAPI Record##Name Params                                                                                     \
    {                                                                                                                  \
        Ret result = g_original##Name Args;                                                                            \
        RecordCreated(result);                                                                                         \
        return result;                                                                                                 \
    }

VX_RECORD_CREATE(HRGN, CreateRectRgn, (int a, int b, int c, int d), (a, b, c, d))
VX_RECORD_CREATE(HRGN, CreateRectRgnIndirect, (const RECT* r), (r))
VX_RECORD_CREATE(HRGN, CreateRoundRectRgn, (int a, int b, int c, int d, int e, int f), (a, b, c, d, e, f))
VX_RECORD_CREATE(HRGN, CreateEllipticRgn, (int a, int b, int c, int d), (a, b, c, d))
VX_RECORD_CREATE(HRGN, CreatePolygonRgn, (const POINT* p, int n, int m), (p, n, m))
VX_RECORD_CREATE(HRGN, ExtCreateRegion, (const XFORM* x, DWORD n, const RGNDATA* d), (x, n, d))
VX_RECORD_CREATE(HDC, CreateCompatibleDC, (HDC dc), (dc))
VX_RECORD_CREATE(HDC, CreateDCW, (LPCWSTR a, LPCWSTR b, LPCWSTR c, const DEVMODEW* d), (a, b, c, d))
VX_RECORD_CREATE(HBITMAP, CreateCompatibleBitmap, (HDC dc, int w, int h), (dc, w, h))
VX_RECORD_CREATE(HBITMAP, CreateBitmap, (int w, int h, UINT p, UINT b, const void* bits), (w, h, p, b, bits))
VX_RECORD_CREATE(HBITMAP, CreateDIBSection, (HDC dc, const BITMAPINFO* i, UINT u, void** b, HANDLE s, DWORD o),
                 (dc, i, u, b, s, o))
VX_RECORD_CREATE(HBITMAP, CreateDIBitmap,
                 (HDC dc, const BITMAPINFOHEADER* h, DWORD f, const void* b, const BITMAPINFO* i, UINT u),
                 (dc, h, f, b, i, u))
VX_RECORD_CREATE(HFONT, CreateFontIndirectW, (const LOGFONTW* f), (f))
VX_RECORD_CREATE(HFONT, CreateFontW,
                 (int a, int b, int c, int d, int e, DWORD f, DWORD g, DWORD h, DWORD i, DWORD j, DWORD k, DWORD l,
                  DWORD m, LPCWSTR n),
                 (a, b, c, d, e, f, g, h, i, j, k, l, m, n))
VX_RECORD_CREATE(HBRUSH, CreateSolidBrush, (COLORREF c), (c))
VX_RECORD_CREATE(HBRUSH, CreatePatternBrush, (HBITMAP b), (b))
VX_RECORD_CREATE(HBRUSH, CreateBrushIndirect, (const LOGBRUSH* b), (b))
VX_RECORD_CREATE(HPEN, CreatePen, (int s, int w, COLORREF c), (s, w, c))
VX_RECORD_CREATE(HPEN, CreatePenIndirect, (const LOGPEN* p), (p))
VX_RECORD_CREATE(HPEN, ExtCreatePen, (DWORD s, DWORD w, const LOGBRUSH* b, DWORD n, const DWORD* st), (s, w, b, n, st))
#undef VX_RECORD_CREATE

using GetDCFn = HDC(WINAPI*)(HWND);
using GetDCExFn = HDC(WINAPI*)(HWND, HRGN, DWORD);
using ReleaseDCFn = int(WINAPI*)(HWND, HDC);
GetDCFn g_originalGetDC = nullptr;
GetDCFn g_originalGetWindowDC = nullptr;
GetDCExFn g_originalGetDCEx = nullptr;
ReleaseDCFn g_originalReleaseDC = nullptr;

HDC WINAPI RecordGetDC(HWND w)
{
    HDC dc = g_originalGetDC(w);
    RecordTaken(dc);
    return dc;
}
HDC WINAPI RecordGetWindowDC(HWND w)
{
    HDC dc = g_originalGetWindowDC(w);
    RecordTaken(dc);
    return dc;
}
HDC WINAPI RecordGetDCEx(HWND w, HRGN r, DWORD f)
{
    HDC dc = g_originalGetDCEx(w, r, f);
    RecordTaken(dc);
    return dc;
}
int WINAPI RecordReleaseDC(HWND w, HDC dc)
{
    RecordReleased(dc);
    return g_originalReleaseDC(w, dc);
}

struct Redirect {
    const char* module;
    const char* function;
    void* recorder;
    void** original;
};

#define VX_GDI(Name)                                                                                                   \
    {                                                                                                                  \
        "gdi32.dll", #Name, reinterpret_cast<void*>(&Record##Name), reinterpret_cast<void**>(&g_original##Name)        \
    }
#define VX_USER(Name)                                                                                                  \
    {                                                                                                                  \
        "user32.dll", #Name, reinterpret_cast<void*>(&Record##Name), reinterpret_cast<void**>(&g_original##Name)       \
    }
const Redirect kRedirects[] = {
    VX_GDI(CreateRectRgn),
    VX_GDI(CreateRectRgnIndirect),
    VX_GDI(CreateRoundRectRgn),
    VX_GDI(CreateEllipticRgn),
    VX_GDI(CreatePolygonRgn),
    VX_GDI(ExtCreateRegion),
    VX_GDI(CreateCompatibleDC),
    VX_GDI(CreateDCW),
    VX_GDI(CreateCompatibleBitmap),
    VX_GDI(CreateBitmap),
    VX_GDI(CreateDIBSection),
    VX_GDI(CreateDIBitmap),
    VX_GDI(CreateFontIndirectW),
    VX_GDI(CreateFontW),
    VX_GDI(CreateSolidBrush),
    VX_GDI(CreatePatternBrush),
    VX_GDI(CreateBrushIndirect),
    VX_GDI(CreatePen),
    VX_GDI(CreatePenIndirect),
    VX_GDI(ExtCreatePen),
    VX_USER(GetDC),
    VX_USER(GetWindowDC),
    VX_USER(GetDCEx),
    VX_USER(ReleaseDC),
};
#undef VX_GDI
#undef VX_USER

// Points the program's import slot for `r` at its recorder. False when the
// program does not import the function (then nothing calls it).
bool RedirectImport(const Redirect& r)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return false;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (::lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), r.module) != 0) continue;
        auto* names =
            reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), r.function) != 0) continue;
            DWORD protection = 0;
            if (!::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection))
                return false;
            *r.original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(r.recorder);
            ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
            return true;
        }
    }
    return false;
}

void InstallOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const Redirect& r : kRedirects) RedirectImport(r);
    });
}

const char* KindOf(HGDIOBJ h)
{
    switch (::GetObjectType(h)) {
    case OBJ_REGION:
        return "region";
    case OBJ_BITMAP:
        return "bitmap";
    case OBJ_FONT:
        return "font";
    case OBJ_BRUSH:
        return "brush";
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return "pen";
    case OBJ_DC:
    case OBJ_MEMDC:
        return "dc";
    default:
        return "object";
    }
}

}  // namespace

GdiHandleWatch::GdiHandleWatch()
{
    InstallOnce();
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_recording.load()) throw std::logic_error("one GdiHandleWatch at a time");
    g_created.clear();
    g_taken.clear();
    g_recording = true;
}

GdiHandleWatch::~GdiHandleWatch() { Stop(); }

void GdiHandleWatch::Stop() { g_recording = false; }

std::vector<HGDIOBJ> GdiHandleWatch::Created() const
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_created;
}

std::vector<HGDIOBJ> GdiHandleWatch::Alive() const
{
    std::vector<HGDIOBJ> alive;
    for (HGDIOBJ h : Created())
        if (::GetObjectType(h) != 0 && std::find(alive.begin(), alive.end(), h) == alive.end()) alive.push_back(h);
    return alive;
}

std::vector<HDC> GdiHandleWatch::Unreleased() const
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_taken;
}

std::string GdiHandleWatch::Describe() const
{
    const std::vector<HGDIOBJ> alive = Alive();
    const std::vector<HDC> unreleased = Unreleased();
    std::string text = std::to_string(Created().size()) + " created, " + std::to_string(alive.size()) + " alive";
    char item[64];
    for (HGDIOBJ h : alive) {
        std::snprintf(item, sizeof item, ", %s %p", KindOf(h), h);
        text += item;
    }
    text += "; " + std::to_string(unreleased.size()) + " window DC(s) not released";
    return text;
}

}  // namespace Test
}  // namespace SkinUI
