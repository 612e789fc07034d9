#pragma once
// The browser host tests share one loopback page server per suite, serving
// browser_pages.py (the runtime's test support names its scripts relative to
// tests/runtime).

#include "../runtime/PageServerSuite.h"

namespace vxtest {

struct BrowserPages {
    static constexpr const wchar_t* kScript = L"../browser/browser_pages.py";
};

using BrowserPageSuite = PagesSuite<BrowserPages>;

}  // namespace vxtest
