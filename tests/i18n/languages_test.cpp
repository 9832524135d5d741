// The language table, the current language and the choice of a language
// from locale codes and from the system's preferred locales.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "i18n/languages.h"

// Runs first in its process: nothing has set the language yet.
TEST(CurrentLanguage, IsEnglishBeforeAnythingSetsIt) { EXPECT_EQ(current_language(), 0); }

TEST(LanguageTable, HoldsTheFourteenLanguagesInCatalogueColumnOrder) {
    struct Expected {
        const char* code;
        const char* name;
    };
    // u8 literals: an encoding independent of the escapes used in the table.
    const Expected expected[LANGUAGE_COUNT] = {
        {"en", u8"English"}, {"pl", u8"Polski"},   {"pt", u8"Português"}, {"es", u8"Español"},
        {"de", u8"Deutsch"}, {"fr", u8"Français"}, {"it", u8"Italiano"},  {"ru", u8"Русский"},
        {"uk", u8"Українська"}, {"tr", u8"Türkçe"}, {"zh", u8"中文"},      {"ja", u8"日本語"},
        {"ar", u8"العربية"}, {"hi", u8"हिन्दी"},
    };
    for (int id = 0; id < LANGUAGE_COUNT; ++id) {
        SCOPED_TRACE(id);
        const LanguageInfo& info = language_info(static_cast<uint8_t>(id));
        EXPECT_EQ(&info, &LANGUAGES[id]);
        EXPECT_STREQ(info.code, expected[id].code);
        EXPECT_STREQ(info.native_name, expected[id].name);
        EXPECT_EQ(info.right_to_left, std::strcmp(expected[id].code, "ar") == 0);
    }
}

TEST(CurrentLanguage, SetLanguageStoresValidIdsAndEnglishOtherwise) {
    for (int id = 0; id < LANGUAGE_COUNT; ++id) {
        set_language(static_cast<uint8_t>(id));
        EXPECT_EQ(current_language(), id);
    }
    set_language(7);
    set_language(14);
    EXPECT_EQ(current_language(), 0);
    set_language(7);
    set_language(255);
    EXPECT_EQ(current_language(), 0);
}

TEST(MatchLanguageCode, OnlyTheLanguagePartCountsWithoutRegardToCase) {
    EXPECT_EQ(match_language_code("de"), 4);
    EXPECT_EQ(match_language_code("DE"), 4);
    EXPECT_EQ(match_language_code("de-AT"), 4);
    EXPECT_EQ(match_language_code("de_CH"), 4);
    EXPECT_EQ(match_language_code("zh-Hant-TW"), 10);
    EXPECT_EQ(match_language_code("zh_CN"), 10);
    EXPECT_EQ(match_language_code("pt-BR"), 2);
    EXPECT_EQ(match_language_code("UK"), 8);
    EXPECT_EQ(match_language_code("fr-CA"), 5);
    EXPECT_EQ(match_language_code("Hi"), 13);
}

TEST(MatchLanguageCode, EveryCodeOfTheTableFindsItsOwnRow) {
    for (int id = 0; id < LANGUAGE_COUNT; ++id) {
        std::string code = LANGUAGES[id].code;
        EXPECT_EQ(match_language_code(code.c_str()), id) << code;
        EXPECT_EQ(match_language_code((code + "_XX.UTF-8").c_str()), id) << code;
    }
}

TEST(MatchLanguageCode, UnknownOrIncompleteCodesGiveEnglish) {
    for (const char* code : {"deu", "d", "xx", "", "xx-YY", "sv-SE", "de.UTF-8", "de AT", "-de", "C"})
        EXPECT_EQ(match_language_code(code), 0) << '"' << code << '"';
    EXPECT_EQ(match_language_code(nullptr), 0);
}

// SDL reads the locale from the environment on Linux, at every call and
// without SDL_Init; the fixture puts the test process's variables back.
class PreferredLanguage : public ::testing::Test {
protected:
    static constexpr const char* VARS[] = {"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"};
    void SetUp() override {
        for (const char* var : VARS) {
            const char* value = std::getenv(var);
            saved_.push_back(value ? std::string(1, '=') + value : std::string());
            unsetenv(var);
        }
    }
    void TearDown() override {
        for (size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i].empty()) unsetenv(VARS[i]);
            else setenv(VARS[i], saved_[i].c_str() + 1, 1);
        }
    }
    static void set_all(const char* value) {
        for (const char* var : VARS) setenv(var, value, 1);
    }
    std::vector<std::string> saved_;
};

TEST_F(PreferredLanguage, GermanLocaleGivesGerman) {
    set_all("de_DE.UTF-8");
    EXPECT_EQ(preferred_language(), 4);
    set_all("fr_CA.UTF-8");
    EXPECT_EQ(preferred_language(), 5);
}

TEST_F(PreferredLanguage, NoLocaleOrAnUnknownOneGivesEnglish) {
    EXPECT_EQ(preferred_language(), 0);
    set_all("C");
    EXPECT_EQ(preferred_language(), 0);
    set_all("sv_SE.UTF-8");
    EXPECT_EQ(preferred_language(), 0);
}

TEST_F(PreferredLanguage, OnlyTheFirstLocaleIsConsulted) {
    // SDL lists LANG first, then LANGUAGE. Swedish first and German
    // second gives English, not German.
    setenv("LANG", "sv_SE.UTF-8", 1);
    setenv("LANGUAGE", "de_DE", 1);
    EXPECT_EQ(preferred_language(), 0);
    setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(preferred_language(), 11);
}
