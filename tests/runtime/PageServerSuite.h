#pragma once

#include <gtest/gtest.h>

#include "RuntimeTestSupport.h"

namespace vxtest {

// A test suite that shares one page server among its tests.
class PageServerSuite : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new PageServer;
        ASSERT_TRUE(server->Start());
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    static inline PageServer* server = nullptr;
};

}  // namespace vxtest
