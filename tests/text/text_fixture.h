// What the tests of the text system share: this machine's fonts, the languages by name, and a text
// system started on them that a test may start again with candidate lists of its own.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "i18n/languages.h"
#include "text/text_render.h"
#include "text/text_system.h"

// Files the bootstrap installs; the Linux entries of the program's lists name them.
const std::string DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string DEJAVU_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const std::string MISSING_FONT = "/nonexistent/a.ttf";

const uint8_t ENGLISH = match_language_code("en");
const uint8_t RUSSIAN = match_language_code("ru");
const uint8_t CHINESE = match_language_code("zh");
const uint8_t JAPANESE = match_language_code("ja");
const uint8_t ARABIC = match_language_code("ar");
const uint8_t HINDI = match_language_code("hi");

constexpr uint32_t WHITE = 0xFFFFFFFFu;

// The key of a handle in TextSystem::fonts.
constexpr int32_t font_key(int size, bool bold) { return 2 * size + (bold ? 1 : 0); }

class TextSystemTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(text_init(ts, &diag)); }
    void TearDown() override {
        text_shutdown(ts);
        set_font_lists(nullptr);
    }

    // Starts the text system again in `language` with the program's own lists.
    bool restart(uint8_t language) {
        text_shutdown(ts);
        set_font_lists(nullptr);
        return text_init(ts, &diag, language);
    }
    // Starts it again in `language` with `lists`.
    bool restart_with_lists(uint8_t language = ENGLISH) {
        text_shutdown(ts);
        set_font_lists(&lists);
        return text_init(ts, &diag, language);
    }

    TextSystem ts;
    std::string diag;
    // Every list names a missing file until the test says otherwise.
    const FontPair nowhere[1] = {{MISSING_FONT.c_str(), MISSING_FONT.c_str()}};
    FontLists lists = {{nowhere, 1}, {nowhere, 1}, {nowhere, 1}, {nowhere, 1}, {nowhere, 1}};
};
