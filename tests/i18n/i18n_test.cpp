// Languages, tr, format_text, and the PO files (read here at test time) checked against the compiled table.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "platform/platform.h"
#include "tests/support/portable.h"

namespace {

// A language's id, found in the table by its code (not through the matching under test).
uint8_t id_of(const char* code) {
    for (int id = 0; id < LANGUAGE_COUNT; ++id) {
        if (std::strcmp(LANGUAGES[id].code, code) == 0) return static_cast<uint8_t>(id);
    }
    ADD_FAILURE() << "no language " << code;
    return 0;
}

const uint8_t ENGLISH = id_of("en");
const uint8_t GERMAN = id_of("de");
const uint8_t RUSSIAN = id_of("ru");
const uint8_t CHINESE = id_of("zh");
const uint8_t HINDI = id_of("hi");

// [SECTION] Languages

TEST(Languages, LanguageCodeMatchesByItsLanguagePartOrElseMeansEnglish) {
    const struct {
        const char* what;
        const char* code;
        uint8_t id;
    } rows[] = {
        {"upper case", "DE", GERMAN},
        {"with a region after a hyphen", "de-AT", GERMAN},
        {"with a region after an underscore", "de_CH", GERMAN},
        {"with a script and a region", "zh-Hant-TW", CHINESE},
        {"the last language of the table", "hi", HINDI},
        {"a three-letter code", "deu", ENGLISH},
        {"a code cut short", "d", ENGLISH},
        {"null", nullptr, ENGLISH},
        {"a separator first", "-de", ENGLISH},
    };
    for (const auto& row : rows) EXPECT_EQ(match_language_code(row.code), row.id) << row.what;
}

TEST(Languages, SettingALanguageBeyondTheTableSetsEnglish) {
    set_language(RUSSIAN);
    set_language(LANGUAGE_COUNT);
    EXPECT_EQ(current_language(), ENGLISH);
}

#if TORVANEL_POSIX  // Windows takes the locale from the user's settings, not from LANG
TEST(Languages, PreferredLanguageIsTheFirstLocalesOnly) {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) set_env(var, nullptr);
    EXPECT_EQ(preferred_language(), ENGLISH) << "no locale";
    set_env("LANG", "sv_SE.UTF-8");  // read first: a language the program does not speak
    set_env("LANGUAGE", "de_DE");
    EXPECT_EQ(preferred_language(), ENGLISH) << "German was consulted";
}
#endif

// [SECTION] tr and format_text

TEST(Messages, TrShowsTheLanguagesTextOrEnglishWhereItIsNullOrEmpty) {
    // Two rows of a table laid out like the catalogue; in row 1, language 3 is null and language 5 empty.
    std::vector<const char*> table(2 * LANGUAGE_COUNT, "translated");
    table[LANGUAGE_COUNT] = "English";
    table[LANGUAGE_COUNT + 3] = nullptr;
    table[LANGUAGE_COUNT + 5] = "";
    const struct {
        const char* what;
        MsgId message;
        uint8_t language;
        const char* text;
    } rows[] = {
        {"null", 1, 3, "English"},
        {"empty", 1, 5, "English"},
        {"translated", 1, 4, "translated"},
        {"the last language of the first row", 0, 13, "translated"},
    };
    for (const auto& row : rows) EXPECT_STREQ(tr_from(table.data(), row.message, row.language), row.text) << row.what;
}

TEST(Messages, FormatTextCutsItsResultAfter1023Bytes) {
    set_language(ENGLISH);
    const std::string name = std::string(2000, 'x') + "end";
    EXPECT_EQ(format_text(tr(MSG_FILES_MISSING), name.c_str()),
              ("The game files are missing: " + name).substr(0, 1023));
    const std::string fits(1023, 'a');
    EXPECT_EQ(format_text("%s", fits.c_str()), fits);
}

// [SECTION] The catalogue against its PO files

// The msgstr of every row of one PO file by its msgctxt number; every entry is one line without escapes.
std::vector<std::string> read_msgstrs(const char* code) {
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

const char* compiled(int message, int language) { return MESSAGES[message * LANGUAGE_COUNT + language]; }

TEST(Catalogue, EveryRowOfEveryFileIsInTheTableAsWritten) {
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        const std::vector<std::string> rows = read_msgstrs(LANGUAGES[l].code);
        for (int m = 0; m < MESSAGE_COUNT; ++m) {
            const char* text = compiled(m, l);
            EXPECT_EQ(text ? text : "(null)", rows[m]) << LANGUAGES[l].code << " row " << m;
        }
    }
}

TEST(Catalogue, FirstAndLastRowsReadAsInEnglishInEveryLanguage) {
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        const std::vector<std::string> rows = read_msgstrs(LANGUAGES[l].code);
        for (int m : {0, MESSAGE_COUNT - 1}) {
            EXPECT_EQ(rows[m], compiled(m, ENGLISH)) << LANGUAGES[l].code << " row " << m;
        }
    }
}

TEST(Catalogue, EveryTranslationOfATextNamingTorvanelNamesIt) {
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        const std::vector<std::string> rows = read_msgstrs(LANGUAGES[l].code);
        for (int m = 0; m < MESSAGE_COUNT; ++m) {
            if (!std::strstr(compiled(m, ENGLISH), "Torvanel")) continue;
            EXPECT_NE(rows[m].find("Torvanel"), std::string::npos) << LANGUAGES[l].code << " row " << m;
        }
    }
}

TEST(Catalogue, EnglishKeepsTheSpacesBetweenTheFieldsOfTheGamesStatusLine) {
    int found = 0;
    for (int m = 0; m < MESSAGE_COUNT; ++m) {
        const std::string english = compiled(m, ENGLISH);
        if (english.rfind("Day %d", 0) != 0 || english.find("Citizens") == std::string::npos) continue;
        ++found;
        EXPECT_EQ(english, "Day %d   Citizens %d   Jobs %d   Happiness %d%%");
    }
    EXPECT_EQ(found, 1);
}

}  // namespace
