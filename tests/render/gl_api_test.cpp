// The GL loader: every entry point requested once in table order, each
// address stored as returned, one stderr line per missing name.
#include "render/gl_api.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/gl_context.h"

namespace {

// The entry point names in table order, straight from the table's own list.
const std::vector<std::string>& table_names() {
#define TORVANEL_NAME(ret, name, params) #name,
    static const std::vector<std::string> names = {TORVANEL_GL_FUNCTIONS(TORVANEL_NAME)};
#undef TORVANEL_NAME
    return names;
}

// The table's slots as untyped addresses, in table order.
std::vector<void*> table_slots(const GlApi& api) {
    std::vector<void*> slots;
#define TORVANEL_SLOT(ret, name, params) slots.push_back(reinterpret_cast<void*>(api.name));
    TORVANEL_GL_FUNCTIONS(TORVANEL_SLOT)
#undef TORVANEL_SLOT
    return slots;
}

// A fake driver: every name gets its own address, except the hidden ones.
std::vector<std::string> g_requested;
std::set<std::string> g_hidden;
char g_fake_code[GL_ENTRY_POINT_COUNT];

void* fake_lookup(const char* name) {
    g_requested.push_back(name);
    if (g_hidden.count(name)) return nullptr;
    const auto& names = table_names();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return &g_fake_code[i];
    return nullptr;
}

// Runs the loader against the fake driver and gives back its stderr; the
// real table is restored afterwards so later GL tests keep working.
class GlLoaderWithFakeDriver : public ::testing::Test {
protected:
    GlApi saved;
    GlApi loaded;
    bool result = false;
    void SetUp() override { saved = gl; }
    void TearDown() override { gl = saved; }
    std::string load_hiding(std::set<std::string> hidden) {
        g_requested.clear();
        g_hidden = std::move(hidden);
        gl = GlApi{};
        ::testing::internal::CaptureStderr();
        result = load_gl_api_with(fake_lookup);
        std::string err = ::testing::internal::GetCapturedStderr();
        loaded = gl;
        return err;
    }
};

TEST_F(GlLoaderWithFakeDriver, RequestsEveryNameOnceInTableOrder) {
    EXPECT_EQ(load_hiding({}), "");
    EXPECT_TRUE(result);
    ASSERT_EQ(table_names().size(), size_t(GL_ENTRY_POINT_COUNT));
    EXPECT_EQ(g_requested, table_names());
    const auto slots = table_slots(loaded);
    for (int i = 0; i < GL_ENTRY_POINT_COUNT; ++i)
        EXPECT_EQ(slots[i], &g_fake_code[i]) << table_names()[i];
}

TEST_F(GlLoaderWithFakeDriver, OneMissingNameFailsWithOneLine) {
    const std::string err = load_hiding({"glGenFramebuffers"});
    EXPECT_FALSE(result);
    EXPECT_EQ(err, "missing GL function glGenFramebuffers\n");
    // Nothing stops at the gap: the rest is still requested and stored.
    EXPECT_EQ(g_requested.size(), size_t(GL_ENTRY_POINT_COUNT));
    EXPECT_EQ(loaded.glGenFramebuffers, nullptr);
    EXPECT_NE(loaded.glDeleteFramebuffers, nullptr);
    EXPECT_NE(loaded.glReadPixels, nullptr);
}

TEST_F(GlLoaderWithFakeDriver, SeveralMissingNamesAreReportedInTableOrder) {
    const std::string err = load_hiding({"glReadPixels", "glGenFramebuffers", "glClearColor"});
    EXPECT_FALSE(result);
    EXPECT_EQ(err,
              "missing GL function glClearColor\n"
              "missing GL function glGenFramebuffers\n"
              "missing GL function glReadPixels\n");
    EXPECT_EQ(loaded.glClearColor, nullptr);
    EXPECT_EQ(loaded.glReadPixels, nullptr);
    EXPECT_NE(loaded.glClear, nullptr);
}

TEST(GlLoaderRealDriver, LoadsAllSixtyOneSilently) {
    REQUIRE_GL();
    GlApi saved = gl;
    gl = GlApi{};
    ::testing::internal::CaptureStderr();
    const bool ok = load_gl_api();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ok);
    EXPECT_EQ(err, "");
    const auto slots = table_slots(gl);
    for (int i = 0; i < GL_ENTRY_POINT_COUNT; ++i) EXPECT_NE(slots[i], nullptr) << table_names()[i];
    // The same addresses SDL hands out directly.
    EXPECT_EQ(reinterpret_cast<void*>(gl.glDrawArrays), SDL_GL_GetProcAddress("glDrawArrays"));
    if (!ok) gl = saved;
}

}  // namespace
