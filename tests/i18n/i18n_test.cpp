// Languages, tr, format_text, and the PO files (read here at test time)
// checked against each other and against the compiled table.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "tests/support/portable.h"

namespace {

struct PoRow { std::string id, str; };

struct PoFile {
    std::vector<PoRow> rows = std::vector<PoRow>(MESSAGE_COUNT);
    int entries = 0;  // numbered entries, duplicates included
};

std::string unquote(const std::string& line) {
    std::string out;
    for (size_t i = line.find('"') + 1; i < line.rfind('"'); ++i)
        out += line[i] != '\\' ? line[i] : line[++i] == 'n' ? '\n' : line[i] == 't' ? '\t' : line[i];
    return out;
}

PoFile read_po(const char* code) {
    std::ifstream in(std::string(TORVANEL_PO_DIR) + "/" + code + ".po");
    EXPECT_TRUE(in.good()) << code;
    PoFile po;
    PoRow header;
    PoRow* row = &header;
    std::string* field = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("msgctxt ", 0) == 0) row = &po.rows.at(std::stoul(unquote(line))), ++po.entries;
        else if (line.rfind("msgid ", 0) == 0) field = &row->id, *field = unquote(line);
        else if (line.rfind("msgstr ", 0) == 0) field = &row->str, *field = unquote(line);
        else if (line.rfind('"', 0) == 0 && field) *field += unquote(line);
    }
    return po;
}

// printf conversions that take an argument, in order ("%d", "%.1f"), then each "%%"
// (Turkish puts the percent sign first); "60% happiness" has none.
std::vector<std::string> conversions(const std::string& text) {
    static const std::regex conversion(R"(%[-+#0]*(\*|[0-9]+)?(\.(\*|[0-9]*))?(hh|ll|[hljztL])?[diouxXfFeEgGaAcspn%])");
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), conversion); it != std::sregex_iterator(); ++it)
        out.push_back(it->str());
    std::stable_partition(out.begin(), out.end(), [](const std::string& c) { return c != "%%"; });
    return out;
}

}  // namespace

TEST(Languages, CodesAndIdsMapToLanguagesOrEnglish) {
    const struct { const char* code; int id; } cases[] = {
        {"de", 4}, {"DE", 4}, {"de-AT", 4}, {"de_CH", 4}, {"zh-Hant-TW", 10}, {"pt-BR", 2}, {"UK", 8},
        {"hi", 13}, {"deu", 0}, {"d", 0}, {"xx", 0}, {"", 0}, {nullptr, 0}, {"-de", 0}};
    for (const auto& c : cases) EXPECT_EQ(match_language_code(c.code), c.id) << (c.code ? c.code : "null");
    set_language(7);
    EXPECT_EQ(current_language(), 7);
    set_language(14);
    EXPECT_EQ(current_language(), 0);
}

TEST(Languages, PreferredLanguageIsTheFirstSystemLocale) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows takes the locale from the user's settings, not from LANG";
#endif
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) set_env(var, nullptr);
    EXPECT_EQ(preferred_language(), 0);
    set_env("LANG", "de_DE.UTF-8");
    EXPECT_EQ(preferred_language(), 4);
    set_env("LANG", "sv_SE.UTF-8");  // listed first; German second is never consulted
    set_env("LANGUAGE", "de_DE");
    EXPECT_EQ(preferred_language(), 0);
}

TEST(Tr, ShowsTheCurrentLanguageAndFallsBackToEnglishOnNullOrEmpty) {
    std::vector<const char*> table(2 * LANGUAGE_COUNT, "translated");
    table[LANGUAGE_COUNT] = "English";
    table[LANGUAGE_COUNT + 3] = nullptr;
    table[LANGUAGE_COUNT + 5] = "";
    EXPECT_STREQ(tr_from(table.data(), 1, 3), "English");
    EXPECT_STREQ(tr_from(table.data(), 1, 5), "English");
    EXPECT_STREQ(tr_from(table.data(), 1, 4), "translated");
    EXPECT_STREQ(tr_from(table.data(), 0, 13), "translated");
    set_language(4);
    EXPECT_STREQ(tr(2), u8"Zurück");
}

TEST(FormatText, FillsMessagesAndKeepsTheFirst1023Bytes) {
    set_language(0);
    EXPECT_EQ(format_text(tr(224), "SDL2.dll"), "The game files are missing: SDL2.dll");
    EXPECT_EQ(format_text(tr(203), 1.04), "Space needed: about 1.0 MB");
    const std::string name = std::string(2000, 'x') + "end";
    EXPECT_EQ(format_text(tr(224), name.c_str()), ("The game files are missing: " + name).substr(0, 1023));
    const std::string fits(1023, 'a');
    EXPECT_EQ(format_text("%s", fits.c_str()), fits);
}

TEST(Catalogue, EveryFileTranslatesEveryEnglishRowIntoTheTable) {
    std::vector<PoFile> po;
    for (const LanguageInfo& language : LANGUAGES) po.push_back(read_po(language.code));
    const std::vector<PoRow>& english = po[0].rows;
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        EXPECT_EQ(po[l].entries, MESSAGE_COUNT) << LANGUAGES[l].code;
        for (int m = 0; m < MESSAGE_COUNT; ++m) {
            const std::string where = std::string(LANGUAGES[l].code) + " row " + std::to_string(m);
            const PoRow& row = po[l].rows[m];
            const char* compiled = MESSAGES[m * LANGUAGE_COUNT + l];
            EXPECT_EQ(row.id, english[m].id) << where;
            EXPECT_FALSE(row.str.empty()) << where;
            EXPECT_EQ(compiled ? compiled : "(null)", row.str) << where;
            EXPECT_EQ(conversions(row.str), conversions(row.id)) << where;
            if (l == 0 || m == 0 || m == MESSAGE_COUNT - 1) { EXPECT_EQ(row.str, row.id) << where; }
            const bool named = row.id.find("Torvanel") != std::string::npos;
            if (named) { EXPECT_NE(row.str.find("Torvanel"), std::string::npos) << where; }
        }
    }
}

TEST(Catalogue, EnglishTextsKeepTheirExactSpacing) {
    EXPECT_STREQ(MESSAGES[13 * LANGUAGE_COUNT],
                 "WASD / arrows: move   Right-drag: rotate   Wheel: zoom   1-3: speed   Esc: menu");
    EXPECT_STREQ(MESSAGES[184 * LANGUAGE_COUNT], "Save game  [F5]");
    EXPECT_STREQ(MESSAGES[185 * LANGUAGE_COUNT], "Load game  [F9]");
    EXPECT_STREQ(MESSAGES[191 * LANGUAGE_COUNT], "Day %d   Citizens %d   Jobs %d   Happiness %d%%");
}
