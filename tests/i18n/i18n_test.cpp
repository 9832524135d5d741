// Languages, tr, format_text, and the PO files (read here at test time)
// checked against each other and against the compiled table.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "tests/support/portable.h"

namespace {

struct PoRow { std::string id, str; };

std::string unquote(const std::string& line) {
    std::string out;
    for (size_t i = line.find('"') + 1; i < line.rfind('"'); ++i)
        out += line[i] != '\\' ? line[i] : line[++i] == 'n' ? '\n' : line[i] == 't' ? '\t' : line[i];
    return out;
}

// The rows of one PO file by their msgctxt number; the header lands in a row of its own.
std::vector<PoRow> read_po(const char* code) {
    std::ifstream in(std::string(TORVANEL_PO_DIR) + "/" + code + ".po");
    EXPECT_TRUE(in.good()) << code;
    std::vector<PoRow> rows(MESSAGE_COUNT + 1);
    PoRow* row = &rows.back();
    std::string* field = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("msgctxt ", 0) == 0) row = &rows.at(std::stoul(unquote(line)));
        else if (line.rfind("msgid ", 0) == 0) field = &row->id, *field = unquote(line);
        else if (line.rfind("msgstr ", 0) == 0) field = &row->str, *field = unquote(line);
        else if (line.rfind('"', 0) == 0 && field) *field += unquote(line);
    }
    return rows;
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

TEST(Tr, ShowsTheCurrentLanguageFallsBackToEnglishOnNullOrEmptyAndFormatKeepsTheFirst1023Bytes) {
    std::vector<const char*> table(2 * LANGUAGE_COUNT, "translated");
    table[LANGUAGE_COUNT] = "English", table[LANGUAGE_COUNT + 3] = nullptr, table[LANGUAGE_COUNT + 5] = "";
    const struct { int message, language; const char* want; } rows[] = {
        {1, 3, "English"}, {1, 5, "English"}, {1, 4, "translated"}, {0, 13, "translated"}};
    for (const auto& r : rows) EXPECT_STREQ(tr_from(table.data(), r.message, r.language), r.want) << r.language;
    set_language(4);
    EXPECT_STREQ(tr(2), u8"Zurück");
    set_language(0);
    EXPECT_EQ(format_text(tr(224), "SDL2.dll"), "The game files are missing: SDL2.dll");
    EXPECT_EQ(format_text(tr(203), 1.04), "Space needed: about 1.0 MB");
    const std::string name = std::string(2000, 'x') + "end";
    EXPECT_EQ(format_text(tr(224), name.c_str()), ("The game files are missing: " + name).substr(0, 1023));
    const std::string fits(1023, 'a');
    EXPECT_EQ(format_text("%s", fits.c_str()), fits);
}

// The build's compiler already rejects a wrong msgid, a missing or repeated row and changed printf conversions.
TEST(Catalogue, EveryFileTranslatesEveryRowIntoTheTable) {
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        const std::vector<PoRow> rows = read_po(LANGUAGES[l].code);
        for (int m = 0; m < MESSAGE_COUNT; ++m) {
            SCOPED_TRACE(std::string(LANGUAGES[l].code) + " row " + std::to_string(m));
            const PoRow& row = rows[m];
            const char* compiled = MESSAGES[m * LANGUAGE_COUNT + l];
            EXPECT_FALSE(row.str.empty());
            EXPECT_EQ(compiled ? compiled : "(null)", row.str);
            if (m == 0 || m == MESSAGE_COUNT - 1) { EXPECT_EQ(row.str, row.id); }
            if (row.id.find("Torvanel") != std::string::npos) { EXPECT_NE(row.str.find("Torvanel"), std::string::npos); }
        }
    }
}

TEST(Catalogue, EnglishTextsKeepTheirExactSpacing) {
    const std::pair<int, const char*> rows[] = {
        {13, "WASD / arrows: move   Right-drag: rotate   Wheel: zoom   1-3: speed   Esc: menu"},
        {184, "Save game  [F5]"}, {185, "Load game  [F9]"}, {191, "Day %d   Citizens %d   Jobs %d   Happiness %d%%"}};
    for (const auto& [m, text] : rows) EXPECT_STREQ(MESSAGES[m * LANGUAGE_COUNT], text);
}
