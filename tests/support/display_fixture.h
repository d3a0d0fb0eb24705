#pragma once

#include "virtual_display.h"

#include <cstdlib>
#include <gtest/gtest.h>

// A test suite on an Xvfb server of its own, started once for the suite:
// DISPLAY names it while the suite runs, and every test skips when the
// server could not start. A fixture's own SetUp calls this one first and
// returns when IsSkipped().
class TOnVirtualDisplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        VirtualDisplay = new TVirtualDisplay;
        if (!VirtualDisplay->Display().empty())
            setenv("DISPLAY", VirtualDisplay->Display().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete VirtualDisplay;
        VirtualDisplay = nullptr;
    }
    void SetUp() override {
        if (VirtualDisplay->Display().empty())
            GTEST_SKIP() << "Xvfb could not start (is the xvfb package installed?)";
    }

    inline static TVirtualDisplay* VirtualDisplay = nullptr;
};
