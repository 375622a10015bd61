// Debug contexts and a failure for every driver error (see GlDebugCheck.h).
#include "support/GlDebugCheck.h"

#include "gfx/gl/GlDebugOutput.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

namespace testsupport {

namespace {

bool errorsAllowed = false;

class DriverErrorCheck : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        before = gfx::gl::debugErrorCount();
        errorsAllowed = false;
    }
    void OnTestEnd(const testing::TestInfo&) override {
        if (errorsAllowed) return;
        EXPECT_EQ(gfx::gl::debugErrorCount() - before, 0u)
            << "the GL driver reported errors during this test (see standard error)";
    }
    uint64_t before = 0;
};

// Before main: the contexts the tests make are debug contexts.
const bool registered = [] {
    setenv("ORBIVISTA_GL_DEBUG", "1", 1);
    testing::UnitTest::GetInstance()->listeners().Append(new DriverErrorCheck);
    return true;
}();

} // namespace

void allowGlDebugErrors() {
    errorsAllowed = true;
}

} // namespace testsupport
