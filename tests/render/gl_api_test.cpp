// The GL entry-point loader on a fake driver, and the benchmarks' null backend.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "render/gl_api.h"

namespace {

std::set<std::string> g_hidden;

// A fake driver: the address of a name is the name itself, unless the test hides it.
void* lookup_unless_hidden(const char* name) {
    if (g_hidden.count(name) != 0) return nullptr;
    return const_cast<char*>(name);
}

// Each test loads into an empty table and gives the process's table back afterwards.
class GlLoader : public testing::Test {
protected:
    void SetUp() override {
        saved_ = gl;
        gl = GlApi{};
    }
    void TearDown() override {
        gl = saved_;
        g_hidden.clear();
    }

private:
    GlApi saved_;
};

TEST_F(GlLoader, FailsWhenTheDriverLacksOneFunction) {
    g_hidden = {"glBlendFunc"};
    EXPECT_FALSE(load_gl_api_with(lookup_unless_hidden));
}

// glViewport comes before glBlendFunc in the table, after it in the alphabet.
TEST_F(GlLoader, NamesEachMissingFunctionOnALineOfItsOwnInTableOrder) {
    g_hidden = {"glReadPixels", "glBlendFunc", "glViewport", "glClearColor"};
    testing::internal::CaptureStderr();
    load_gl_api_with(lookup_unless_hidden);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "missing GL function glClearColor\n"
              "missing GL function glViewport\n"
              "missing GL function glBlendFunc\n"
              "missing GL function glReadPixels\n");
}

TEST_F(GlLoader, FillsEachSlotWithItsOwnFunctionAndLeavesMissingOnesNull) {
    g_hidden = {"glReadPixels", "glClearColor"};
    load_gl_api_with(lookup_unless_hidden);
#define TORVANEL_EXPECT_SLOT(ret, name, params)                              \
    {                                                                        \
        const char* expected = g_hidden.count(#name) != 0 ? nullptr : #name; \
        EXPECT_STREQ(reinterpret_cast<const char*>(gl.name), expected);      \
    }
    TORVANEL_GL_FUNCTIONS(TORVANEL_EXPECT_SLOT)
#undef TORVANEL_EXPECT_SLOT
}

TEST(NullGl, KnowsNoNameOutsideTheTable) { EXPECT_EQ(null_gl_lookup("glNotAFunction"), nullptr); }

}  // namespace
