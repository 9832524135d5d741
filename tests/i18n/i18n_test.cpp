// Languages, tr, format_text, and the PO files (read here at test time) checked against the compiled table.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "tests/support/portable.h"

// The msgstr of every row of one PO file by its msgctxt number; every entry is one line without escapes.
static std::vector<std::string> read_msgstrs(const char* code) {
    std::ifstream in(std::string(TORVANEL_PO_DIR) + "/" + code + ".po");
    std::vector<std::string> rows(MESSAGE_COUNT + 1);  // the header's lands in the last
    size_t row = MESSAGE_COUNT;
    for (std::string line; std::getline(in, line);) {
        const size_t from = line.find('"') + 1;
        const std::string text = line.substr(from, line.rfind('"') - from);
        if (line.rfind("msgctxt ", 0) == 0) row = std::stoul(text);
        else if (line.rfind("msgstr ", 0) == 0) rows.at(row) = text;
    }
    return rows;
}

TEST(Languages, CodesMapToLanguagesOrEnglishThePreferredOneIsTheFirstLocaleAndTrFallsBackToEnglish) {
    const struct { const char* code; int id; } cases[] = {
        {"DE", 4}, {"de-AT", 4}, {"de_CH", 4}, {"zh-Hant-TW", 10}, {"pt-BR", 2}, {"hi", 13}, {"deu", 0}, {"d", 0},
        {"", 0}, {nullptr, 0}, {"-de", 0}};
    for (const auto& c : cases) EXPECT_EQ(match_language_code(c.code), c.id) << (c.code ? c.code : "null");
    set_language(7), set_language(14);  // out of range: English (a valid one: the program test's languages)
    EXPECT_EQ(current_language(), 0);
#ifndef _WIN32  // Windows takes the locale from the user's settings, not from LANG
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) set_env(var, nullptr);
    EXPECT_EQ(preferred_language(), 0);
    set_env("LANG", "sv_SE.UTF-8"), set_env("LANGUAGE", "de_DE");  // LANG is read first, German never consulted
    EXPECT_EQ(preferred_language(), 0);
#endif
    // tr shows the current language, falling back to English on null or empty; format_text keeps 1023 bytes.
    std::vector<const char*> table(2 * LANGUAGE_COUNT, "translated");
    table[LANGUAGE_COUNT] = "English", table[LANGUAGE_COUNT + 3] = nullptr, table[LANGUAGE_COUNT + 5] = "";
    const struct { int message, language; const char* want; } rows[] = {
        {1, 3, "English"}, {1, 5, "English"}, {1, 4, "translated"}, {0, 13, "translated"}};
    for (const auto& r : rows) EXPECT_STREQ(tr_from(table.data(), r.message, r.language), r.want) << r.language;
    const std::string name = std::string(2000, 'x') + "end", fits(1023, 'a');
    EXPECT_EQ(format_text(tr(MSG_FILES_MISSING), name.c_str()),
              ("The game files are missing: " + name).substr(0, 1023));
    EXPECT_EQ(format_text("%s", fits.c_str()), fits);
}

TEST(Catalogue, EveryFileTranslatesEveryRowIntoTheTableAndEnglishKeepsItsSpacing) {
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        const std::vector<std::string> rows = read_msgstrs(LANGUAGES[l].code);
        for (int m = 0; m < MESSAGE_COUNT; ++m) {
            SCOPED_TRACE(std::string(LANGUAGES[l].code) + " row " + std::to_string(m));
            const char *compiled = MESSAGES[m * LANGUAGE_COUNT + l], *english = MESSAGES[m * LANGUAGE_COUNT];
            EXPECT_EQ(compiled ? compiled : "(null)", rows[m]);
            if (m == 0 || m == MESSAGE_COUNT - 1) { EXPECT_EQ(rows[m], english); }
            if (std::strstr(english, "Torvanel")) { EXPECT_NE(rows[m].find("Torvanel"), std::string::npos); }
        }
    }
    EXPECT_STREQ(MESSAGES[191 * LANGUAGE_COUNT], "Day %d   Citizens %d   Jobs %d   Happiness %d%%");  // spaced
}
