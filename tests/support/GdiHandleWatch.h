#pragma once
// Leak checks with real handles. While a GdiHandleWatch lives, every GDI
// object and device context that the test program creates (regions, bitmaps,
// DIB sections, fonts, brushes, pens, memory and created DCs) is recorded,
// and every window DC taken with GetDC/GetWindowDC/GetDCEx is matched
// against its ReleaseDC. Afterwards a test asks which of them still exist:
//
//     GdiHandleWatch watch;
//     { CRenderClip clip; CRenderClip::GenerateClip(dc, rc, clip); }
//     EXPECT_THAT(watch.Alive(), IsEmpty());
//
// "Still exists" is GetObjectType(h) != 0, asked of the system, so the check
// does not depend on any bookkeeping of the code under test. Recording works
// by redirecting the program's import table entries for those functions to
// recorders (the whole program is linked statically, so that covers every
// call it makes). One watch at a time; calls from any thread are recorded.

#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {
namespace Test {

class GdiHandleWatch {
public:
    GdiHandleWatch();
    ~GdiHandleWatch();
    GdiHandleWatch(const GdiHandleWatch&) = delete;
    GdiHandleWatch& operator=(const GdiHandleWatch&) = delete;

    // Stops recording (the destructor does it too).
    void Stop();

    // Every object created since the watch started, in order.
    std::vector<HGDIOBJ> Created() const;
    // The created objects that still exist.
    std::vector<HGDIOBJ> Alive() const;
    // Window DCs taken and not released.
    std::vector<HDC> Unreleased() const;
    // "3 alive: region 0x1234, bitmap 0x5678, ..." for failure messages.
    std::string Describe() const;
};

}  // namespace Test
}  // namespace SkinUI
