// Which font files serve each language, and the font handles opened from them, on this machine's fonts.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/portable.h"
#include "tests/text/text_fixture.h"
#include "text/text_system.h"

namespace {

class FontChoice : public TextSystemTest {};

TEST_F(FontChoice, EachLanguageGetsItsWritingSystemsFontOnThisMachine) {
    const std::string folder = "/usr/share/fonts/truetype/";
    const std::string wqy = folder + "wqy/wqy-zenhei.ttc";
    const std::string gothic = folder + "fonts-japanese-gothic.ttf";
    const std::string noto = folder + "noto/NotoSansDevanagari-";
    const struct {
        uint8_t language;
        std::string regular, bold;
        ShapingMode shaping;
    } rows[] = {
        {ENGLISH, DEJAVU, DEJAVU_BOLD, ShapingMode::None},
        {RUSSIAN, DEJAVU, DEJAVU_BOLD, ShapingMode::None},
        {CHINESE, wqy, wqy, ShapingMode::None},
        {JAPANESE, gothic, gothic, ShapingMode::None},
        {ARABIC, DEJAVU, DEJAVU_BOLD, ShapingMode::Arabic},
        {HINDI, noto + "Regular.ttf", noto + "Bold.ttf", ShapingMode::Devanagari},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(LANGUAGES[row.language].code);
        diag.clear();
        ASSERT_TRUE(restart(row.language));
        EXPECT_EQ(ts.language, row.language);
        EXPECT_EQ(ts.regular_font_path, row.regular);
        EXPECT_EQ(ts.bold_font_path, row.bold);
        EXPECT_EQ(ts.shaping, row.shaping);
        EXPECT_EQ(diag, "");  // none needed the default list
    }
}

TEST_F(FontChoice, PairWhoseRegularFileDoesNotOpenIsPassedOver) {
    const FontPair japanese[2] = {{MISSING_FONT.c_str(), DEJAVU.c_str()}, {DEJAVU_BOLD.c_str(), DEJAVU.c_str()}};
    lists.japanese = {japanese, 2};
    ASSERT_TRUE(restart_with_lists(JAPANESE));
    EXPECT_EQ(ts.regular_font_path, DEJAVU_BOLD);
    EXPECT_EQ(ts.bold_font_path, DEJAVU);
}

TEST_F(FontChoice, BoldFileThatDoesNotOpenIsReplacedByTheRegular) {
    const FontPair japanese[1] = {{DEJAVU.c_str(), MISSING_FONT.c_str()}};
    lists.japanese = {japanese, 1};
    ASSERT_TRUE(restart_with_lists(JAPANESE));
    EXPECT_EQ(ts.regular_font_path, DEJAVU);
    EXPECT_EQ(ts.bold_font_path, DEJAVU);
}

TEST_F(FontChoice, LanguageWithoutAFontOfItsOwnTakesTheDefaultListWithANote) {
    const FontPair fallback[2] = {{MISSING_FONT.c_str(), DEJAVU.c_str()}, {DEJAVU_BOLD.c_str(), DEJAVU.c_str()}};
    lists.fallback = {fallback, 2};
    for (uint8_t language : {ARABIC, HINDI}) {
        SCOPED_TRACE(LANGUAGES[language].code);
        diag.clear();
        ASSERT_TRUE(restart_with_lists(language));
        EXPECT_EQ(ts.regular_font_path, DEJAVU_BOLD);
        EXPECT_EQ(ts.bold_font_path, DEJAVU);
        EXPECT_EQ(diag, "No font for this language, using " + DEJAVU_BOLD + "\n");
    }
}

TEST_F(FontChoice, DefaultListIsEnglishsOwnAndTakenWithoutANote) {
    const FontPair fallback[1] = {{DEJAVU_BOLD.c_str(), DEJAVU.c_str()}};
    lists.fallback = {fallback, 1};
    ASSERT_TRUE(restart_with_lists(ENGLISH));
    EXPECT_EQ(ts.regular_font_path, DEJAVU_BOLD);
    EXPECT_EQ(diag, "");
}

// A program starting in Japanese probes Japanese files only.
TEST_F(FontChoice, LanguageWithAFontOfItsOwnNeverProbesTheDefaultList) {
    const FontPair japanese[1] = {{DEJAVU.c_str(), DEJAVU.c_str()}};
    const FontPair fallback[1] = {{DEJAVU_BOLD.c_str(), DEJAVU_BOLD.c_str()}};
    lists.japanese = {japanese, 1};
    lists.fallback = {fallback, 1};
    ASSERT_TRUE(restart_with_lists(JAPANESE));
    EXPECT_EQ(ts.font_files.size(), 1u);
    EXPECT_EQ(ts.font_files.count(DEJAVU), 1u);
}

// Every list names the same file, which is plain text.
class FontChoiceWithoutAFont : public TextSystemTest {
protected:
    void SetUp() override {
        TextSystemTest::SetUp();
        not_a_font = make_temp_dir("torvanel-not-a-font") + "/plain.ttf";
        std::ofstream(not_a_font) << "plain text, not a font";
        only_file[0] = {not_a_font.c_str(), not_a_font.c_str()};
        lists.fallback = {only_file, 1};
    }

    std::string not_a_font;
    FontPair only_file[1] = {};
};

TEST_F(FontChoiceWithoutAFont, StartFails) { EXPECT_FALSE(restart_with_lists()); }

TEST_F(FontChoiceWithoutAFont, FileThatIsNoFontIsClosedAtOnce) {
    restart_with_lists();
    EXPECT_EQ(ts.font_files.at(not_a_font), nullptr);
    EXPECT_EQ(open_file_count(not_a_font), 0);
}

TEST(FontChoiceBeforeStart, NoFileOpensBeforeTheTextSystemStarts) {
    TextSystem never_started;
    EXPECT_FALSE(load_fonts_for_language(never_started, ENGLISH, nullptr));
    EXPECT_TRUE(never_started.font_files.empty());
}

// [SECTION] Handles

class FontHandles : public TextSystemTest {};

TEST_F(FontHandles, EachSizeAndWeightOpensOnce) {
    TTF_Font* regular = font_for(ts, 20, false);
    TTF_Font* bold = font_for(ts, 20, true);
    ASSERT_NE(regular, nullptr);
    ASSERT_NE(bold, nullptr);
    EXPECT_NE(regular, bold);
    EXPECT_EQ(font_for(ts, 20, false), regular);
    EXPECT_EQ(font_for(ts, 20, true), bold);
}

// The start opens the file's stream for its probe; a size opened once the file is gone reads that stream.
TEST_F(FontHandles, EverySizeReadsTheFileOpenedOnce) {
    if (!open_files_can_be_removed()) GTEST_SKIP() << "a font file that is open cannot be removed here";
    const std::string copy = make_temp_dir("torvanel-font") + "/copy.ttf";
    std::filesystem::copy_file(DEJAVU, copy);
    const FontPair only_copy[1] = {{copy.c_str(), copy.c_str()}};
    lists.fallback = {only_copy, 1};
    ASSERT_TRUE(restart_with_lists());
    std::filesystem::remove(copy);
    TTF_Font* own = TTF_OpenFont(DEJAVU.c_str(), 36);
    int own_width = 0;
    TTF_SizeUTF8(own, "Wavy Torvanel", &own_width, nullptr);
    TTF_CloseFont(own);
    int shared_width = 0;
    ASSERT_EQ(TTF_SizeUTF8(font_for(ts, 36, false), "Wavy Torvanel", &shared_width, nullptr), 0);
    EXPECT_EQ(shared_width, own_width);
    EXPECT_EQ(ts.font_files.size(), 1u);
}

TEST_F(FontHandles, SizeThatFailsToOpenIsRememberedAsNone) {
    const int too_large = 65536;
    EXPECT_EQ(font_for(ts, too_large, false), nullptr);
    ASSERT_EQ(ts.fonts.count(font_key(too_large, false)), 1u);
    EXPECT_EQ(ts.fonts.at(font_key(too_large, false)), nullptr);
}

TEST_F(FontHandles, HandleThatProvedTheRegularFileServesItsSize) {
    ASSERT_EQ(ts.fonts.size(), 1u);
    ASSERT_EQ(ts.fonts.count(font_key(PROBE_POINT_SIZE, false)), 1u);
    TTF_Font* probe = ts.fonts.at(font_key(PROBE_POINT_SIZE, false));
    EXPECT_NE(probe, nullptr);
    EXPECT_EQ(font_for(ts, PROBE_POINT_SIZE, false), probe);
}

}  // namespace
