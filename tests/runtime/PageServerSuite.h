#pragma once

#include <gtest/gtest.h>

#include "RuntimeTestSupport.h"

namespace vxtest {

// A test suite that shares one page server among its tests; Pages names the
// server script (Pages::kScript).
template <class Pages>
class PagesSuite : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new PageServer(Pages::kScript);
        ASSERT_TRUE(server->Start());
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    static inline PageServer* server = nullptr;
};

struct RuntimePages {
    static constexpr const wchar_t* kScript = L"page_server.py";
};
struct ShellPages {
    static constexpr const wchar_t* kScript = L"shell_pages.py";
};

using PageServerSuite = PagesSuite<RuntimePages>;

}  // namespace vxtest
