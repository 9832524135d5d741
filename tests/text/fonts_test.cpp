// Font choice: the system fonts each language gets on this machine, the
// fallback through replaced candidate lists (temporary copies of real font
// files next to names that do not exist), handles per size and weight, and
// what a language switch keeps or drops.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "text/text_render.h"
#include "text/text_system.h"

namespace fs = std::filesystem;

namespace {

const std::string DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string DEJAVU_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const FontPair NOWHERE[1] = {{"/nonexistent/a.ttf", "/nonexistent/a-bold.ttf"}};

class Fonts : public testing::Test {
protected:
    fs::path dir;
    std::string regular, bold, missing;  // copies of DejaVu Sans, and a name never created
    TextSystem ts;
    std::string diag;
    void SetUp() override {
        char pattern[] = "/tmp/torvanel-fonts-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        regular = (dir / "regular.ttf").string();
        bold = (dir / "bold.ttf").string();
        missing = (dir / "absent.ttf").string();
        fs::copy_file(DEJAVU, regular);
        fs::copy_file(DEJAVU_BOLD, bold);
    }
    void TearDown() override {
        text_shutdown(ts);
        set_font_lists(nullptr);
        fs::remove_all(dir);
    }
    // Every script list fails; the default list is `fallback`.
    void use_fallback_only(const FontPair* fallback, int count) {
        static FontLists lists;
        lists = {{NOWHERE, 1}, {NOWHERE, 1}, {NOWHERE, 1}, {NOWHERE, 1}, {fallback, count}};
        set_font_lists(&lists);
    }
};

}  // namespace

// [SECTION] This machine

TEST_F(Fonts, EachLanguageGetsItsWritingSystemsFontHere) {
    ASSERT_TRUE(text_init(ts, &diag));
    EXPECT_EQ(diag, "");
    const std::string wqy = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";
    const std::string gothic = "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf";
    const std::string noto = "/usr/share/fonts/truetype/noto/NotoSansDevanagari-";
    const struct {
        uint8_t language;
        std::string regular, bold;
        ShapingMode shaping;
    } wants[] = {
        {1, DEJAVU, DEJAVU_BOLD, ShapingMode::None},
        {7, DEJAVU, DEJAVU_BOLD, ShapingMode::None},
        {12, DEJAVU, DEJAVU_BOLD, ShapingMode::Arabic},
        {10, wqy, wqy, ShapingMode::None},
        {11, gothic, gothic, ShapingMode::None},
        {0, DEJAVU, DEJAVU_BOLD, ShapingMode::None},
        {13, noto + "Regular.ttf", noto + "Bold.ttf", ShapingMode::Devanagari},
    };
    for (const auto& w : wants) {
        EXPECT_TRUE(load_fonts_for_language(ts, w.language, &diag));
        EXPECT_EQ(ts.language, w.language);
        EXPECT_EQ(ts.regular_font_path, w.regular);
        EXPECT_EQ(ts.bold_font_path, w.bold);
        EXPECT_EQ(ts.shaping, w.shaping);
    }
    EXPECT_EQ(diag, "");  // no language needed the fallback
}

TEST(FontCandidates, WindowsPathsComeBeforeLinuxPaths) {
    const FontLists& l = default_font_lists();
    const FontList lists[] = {l.chinese, l.japanese, l.arabic, l.devanagari, l.fallback};
    const int counts[] = {3, 5, 4, 3, 4};
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(lists[i].count, counts[i]);
        bool seen_linux = false;
        for (int k = 0; k < lists[i].count; ++k) {
            for (const std::string path : {lists[i].pairs[k].regular, lists[i].pairs[k].bold}) {
                const bool windows = path.rfind("C:/Windows/Fonts/", 0) == 0;
                seen_linux |= path.rfind("/usr/share/fonts/truetype/", 0) == 0;
                EXPECT_NE(windows, seen_linux) << path;
            }
        }
    }
    EXPECT_EQ(l.fallback.pairs, FONTS_DEFAULT);
}

// [SECTION] Replaced lists

TEST_F(Fonts, ScriptListFallsBackToTheDefaultListWithANote) {
    const FontPair fallback[2] = {{missing.c_str(), bold.c_str()}, {regular.c_str(), bold.c_str()}};
    use_fallback_only(fallback, 2);
    ASSERT_TRUE(text_init(ts, &diag));
    EXPECT_EQ(diag, "");  // English reads the default list directly
    for (uint8_t lang : {10, 11, 12, 13}) {
        std::string d;
        EXPECT_TRUE(load_fonts_for_language(ts, lang, &d));
        EXPECT_EQ(d, "No font for this language, using " + regular + "\n");
        EXPECT_EQ(ts.regular_font_path, regular);
        EXPECT_EQ(ts.bold_font_path, bold);
        EXPECT_EQ(ts.language, lang);
    }
}

TEST_F(Fonts, FirstRegularThatOpensWinsAndAMissingBoldIsTheRegular) {
    const std::string junk = (dir / "junk.ttf").string();
    std::ofstream(junk) << "not a font";
    const FontPair japanese[3] = {{missing.c_str(), bold.c_str()},
                                  {junk.c_str(), bold.c_str()},
                                  {regular.c_str(), missing.c_str()}};
    const FontPair fallback[1] = {{bold.c_str(), junk.c_str()}};
    const FontLists lists = {
        {NOWHERE, 1}, {japanese, 3}, {NOWHERE, 1}, {NOWHERE, 1}, {fallback, 1}};
    set_font_lists(&lists);
    ASSERT_TRUE(text_init(ts, &diag));
    EXPECT_EQ(ts.regular_font_path, bold);
    EXPECT_EQ(ts.bold_font_path, bold);
    EXPECT_TRUE(load_fonts_for_language(ts, 11, &diag));
    EXPECT_EQ(ts.regular_font_path, regular);
    EXPECT_EQ(ts.bold_font_path, regular);
    EXPECT_EQ(diag, "");
}

TEST_F(Fonts, NothingOpensMeansNoText) {
    use_fallback_only(NOWHERE, 1);
    EXPECT_FALSE(text_init(ts, &diag));
    EXPECT_EQ(diag, "No usable font found. Text will not be drawn.\n");
    EXPECT_TRUE(ts.regular_font_path.empty());
    EXPECT_TRUE(ts.bold_font_path.empty());
    EXPECT_EQ(measure_text(ts, "Next", 18, false), 0);
    EXPECT_EQ(line_skip(ts, 18, false), 18);
    EXPECT_EQ(line_skip(ts, 31, true), 31);
    const TextTexture t = render_text(ts, "Next", 18, 0xFFFFFFFFu, false);
    EXPECT_EQ(t.texture + t.width + t.height, 0u);
    EXPECT_TRUE(ts.cache.empty());
    std::string d;
    EXPECT_FALSE(load_fonts_for_language(ts, 12, &d));
    EXPECT_EQ(d, "");  // no note when the default list fails as well
    EXPECT_EQ(ts.language, 12);
}

// [SECTION] Handles and switches

TEST_F(Fonts, EachSizeAndWeightOpensOnceAndAFailureIsRemembered) {
    const FontPair only[1] = {{regular.c_str(), bold.c_str()}};
    use_fallback_only(only, 1);
    ASSERT_TRUE(text_init(ts, &diag));
    EXPECT_TRUE(ts.fonts.empty());  // probing keeps no handle
    TTF_Font* r = font_for(ts, 20, false);
    TTF_Font* b = font_for(ts, 20, true);
    ASSERT_TRUE(r && b);
    EXPECT_NE(r, b);
    EXPECT_EQ(ts.fonts.count(40) + ts.fonts.count(41), 2u);
    // With the files gone, known sizes still answer; a new size fails and
    // stays failed even once the file is back.
    fs::remove(regular);
    fs::remove(bold);
    EXPECT_EQ(font_for(ts, 20, false), r);
    EXPECT_EQ(font_for(ts, 20, true), b);
    EXPECT_EQ(font_for(ts, 22, false), nullptr);
    fs::copy_file(DEJAVU, regular);
    EXPECT_EQ(font_for(ts, 22, false), nullptr);
    EXPECT_EQ(ts.fonts.size(), 3u);
    EXPECT_EQ(measure_text(ts, "Next", 22, false), 0);
    EXPECT_EQ(line_skip(ts, 22, false), 22);
    EXPECT_GT(line_skip(ts, 20, false), 20);
}

TEST_F(Fonts, SwitchingLanguageKeepsOrDropsFontsAndCache) {
    ASSERT_TRUE(text_init(ts, &diag));
    text_set_language(ts, 1);
    TTF_Font* f = font_for(ts, 18, false);
    ASSERT_NE(f, nullptr);
    ts.cache["18|4294967295|Dalej"] = TextTexture{0, 40, 20};  // no GL name, nothing to delete
    text_set_language(ts, 1);
    EXPECT_EQ(font_for(ts, 18, false), f);
    EXPECT_EQ(ts.fonts.size() + ts.cache.size(), 2u);
    text_set_language(ts, 12);
    EXPECT_TRUE(ts.fonts.empty());
    EXPECT_TRUE(ts.cache.empty());
    EXPECT_EQ(ts.shaping, ShapingMode::Arabic);
    // The same language without a usable font is loaded again.
    ts.regular_font_path.clear();
    text_set_language(ts, 12);
    EXPECT_EQ(ts.regular_font_path, DEJAVU);

    text_shutdown(ts);
    EXPECT_FALSE(ts.ttf_ready);
    EXPECT_TRUE(ts.regular_font_path.empty() && ts.bold_font_path.empty() && ts.fonts.empty());
}
