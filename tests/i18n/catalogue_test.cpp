// tr, format_text and the integrity of the catalogue: the compiled table
// against the PO files of the source tree (read here at test time), and the
// rules every language must keep (rows, printf conversions, the game name).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"

// [SECTION] Reading the PO files

namespace {

struct PoRow {
    std::string id, str;
    bool c_format = false, fuzzy = false;
};

struct PoCatalogue {
    std::map<int, PoRow> rows;
    int entries = 0;  // entries with a row number, duplicates included
};

std::string unquote(const std::string& line) {
    std::string quoted = line.substr(line.find('"') + 1);
    quoted.erase(quoted.rfind('"'));
    std::string out;
    for (size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] != '\\') {
            out += quoted[i];
            continue;
        }
        char c = quoted[++i];
        out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
    }
    return out;
}

// A plain reader for files that msgfmt also checks: one entry per
// msgctxt, strings possibly continued over several lines.
PoCatalogue read_po(const std::string& code) {
    std::ifstream in(std::string(TORVANEL_PO_DIR) + "/" + code + ".po");
    EXPECT_TRUE(in.good()) << code;
    PoCatalogue po;
    PoRow row;
    int number = -1;
    std::string* field = nullptr;
    std::string flags;
    auto store = [&] {
        if (number >= 0) {
            po.rows[number] = row;
            ++po.entries;
        }
        row = PoRow();
        number = -1;
        field = nullptr;
    };
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("#,", 0) == 0) {
            store();
            flags = line;
        } else if (line.rfind("msgctxt ", 0) == 0) {
            if (number >= 0) store();
            number = std::stoi(unquote(line));
            row.c_format = flags.find("c-format") != std::string::npos;
            row.fuzzy = flags.find("fuzzy") != std::string::npos;
            flags.clear();
        } else if (line.rfind("msgid ", 0) == 0) {
            row.id = unquote(line), field = &row.id;
        } else if (line.rfind("msgstr ", 0) == 0) {
            row.str = unquote(line), field = &row.str;
        } else if (line.rfind("\"", 0) == 0 && field) {
            *field += unquote(line);
        } else if (line.empty() && field == &row.str) {
            store();
        }
    }
    store();
    return po;
}

const std::vector<PoCatalogue>& catalogues() {
    static const std::vector<PoCatalogue> all = [] {
        std::vector<PoCatalogue> v;
        for (const LanguageInfo& language : LANGUAGES) v.push_back(read_po(language.code));
        return v;
    }();
    return all;
}

// What the program shows for a row: the translation unless it is missing.
std::string shown_text(const PoRow& row, const PoRow& english) {
    return row.str.empty() || row.fuzzy ? english.id : row.str;
}

// printf conversion specifications in order ("%d", "%.1f", "%%"); a '%'
// followed by a space ("60% happiness") is prose.
std::vector<std::string> conversions(const std::string& text) {
    static const std::regex spec(R"(%[-+#0]*(\*|[0-9]+)?(\.(\*|[0-9]*))?(hh|ll|[hljztL])?[diouxXfFeEgGaAcspn%])");
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), spec); it != std::sregex_iterator(); ++it)
        out.push_back(it->str());
    return out;
}

const int GAME_NAME_ROWS[] = {0, 57, 194, 195, 196, 208, 220, 255, 260};

}  // namespace

// [SECTION] tr

TEST(Tr, FallsBackToEnglishOnlyForNullOrEmptyEntries) {
    std::vector<const char*> table(2 * LANGUAGE_COUNT, "translated");
    table[0] = "first";
    table[LANGUAGE_COUNT] = "second";
    table[LANGUAGE_COUNT + 3] = nullptr;
    table[LANGUAGE_COUNT + 5] = "";
    EXPECT_STREQ(tr_from(table.data(), 0, 0), "first");
    EXPECT_STREQ(tr_from(table.data(), 0, 13), "translated");
    EXPECT_STREQ(tr_from(table.data(), 1, 3), "second");
    EXPECT_STREQ(tr_from(table.data(), 1, 5), "second");
    EXPECT_STREQ(tr_from(table.data(), 1, 4), "translated");
    EXPECT_STREQ(tr_from(table.data(), 1, 6), "translated");
}

TEST(Tr, EveryLanguageShowsItsTranslationOrEnglish) {
    const PoCatalogue& english = catalogues()[0];
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        set_language(static_cast<uint8_t>(l));
        for (const auto& [number, row] : catalogues()[l].rows) {
            ASSERT_LT(number, MESSAGE_COUNT);
            EXPECT_EQ(tr(static_cast<MsgId>(number)), shown_text(row, english.rows.at(number)))
                << LANGUAGES[l].code << " row " << number;
        }
    }
    set_language(0);
}

TEST(Tr, GameNameAndRow274AreTheSameEverywhere) {
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        set_language(static_cast<uint8_t>(l));
        EXPECT_STREQ(tr(0), "Torvanel") << LANGUAGES[l].code;
        EXPECT_STREQ(tr(274), "%s %s") << LANGUAGES[l].code;
        for (int row : GAME_NAME_ROWS)
            EXPECT_NE(std::string(tr(static_cast<MsgId>(row))).find("Torvanel"), std::string::npos)
                << LANGUAGES[l].code << " row " << row;
    }
    set_language(0);
}

// [SECTION] format_text

TEST(FormatText, FillsTheWizardsMessages) {
    set_language(0);
    EXPECT_EQ(format_text(tr(224), "SDL2.dll"), "The game files are missing: SDL2.dll");
    EXPECT_EQ(format_text(tr(203), 1.04), "Space needed: about 1.0 MB");
    EXPECT_EQ(format_text(tr(203), 1.05 + 1e-9), "Space needed: about 1.1 MB");
    EXPECT_EQ(format_text(tr(274), "a", "b"), "a b");
    // Every language takes the same arguments.
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        set_language(static_cast<uint8_t>(l));
        EXPECT_NE(format_text(tr(224), "SDL2.dll").find("SDL2.dll"), std::string::npos) << LANGUAGES[l].code;
        EXPECT_NE(format_text(tr(203), 1.04).find("1.0"), std::string::npos) << LANGUAGES[l].code;
    }
    set_language(0);
}

TEST(FormatText, KeepsExactlyTheFirst1023Bytes) {
    const std::string fits(1023, 'a');
    EXPECT_EQ(format_text("%s", fits.c_str()), fits);
    EXPECT_EQ(format_text("%s!", fits.c_str()), fits);
    const std::string file_name = std::string(2000, 'x') + "end";
    const std::string full = "The game files are missing: " + file_name;
    EXPECT_EQ(format_text("The game files are missing: %s", file_name.c_str()), full.substr(0, 1023));
    // The cut may split a UTF-8 character: 1023 bytes, ending on a lead byte.
    std::string accents;
    for (int i = 0; i < 600; ++i) accents += u8"é";
    const std::string cut = format_text("%s", accents.c_str());
    ASSERT_EQ(cut.size(), 1023u);
    EXPECT_EQ(cut, accents.substr(0, 1023));
    EXPECT_EQ(static_cast<unsigned char>(cut.back()), 0xC3);
}

// [SECTION] Catalogue integrity

TEST(Catalogue, EveryFileHasExactlyTheRowsOfTheEnglishFile) {
    const PoCatalogue& english = catalogues()[0];
    ASSERT_EQ(english.entries, MESSAGE_COUNT);
    ASSERT_EQ(english.rows.size(), static_cast<size_t>(MESSAGE_COUNT));
    ASSERT_EQ(english.rows.rbegin()->first, MESSAGE_COUNT - 1);
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        const PoCatalogue& po = catalogues()[l];
        EXPECT_EQ(po.entries, MESSAGE_COUNT) << LANGUAGES[l].code;
        ASSERT_EQ(po.rows.size(), english.rows.size()) << LANGUAGES[l].code;
        for (const auto& [number, row] : english.rows) {
            ASSERT_TRUE(po.rows.count(number)) << LANGUAGES[l].code << " row " << number;
            EXPECT_EQ(po.rows.at(number).id, row.id) << LANGUAGES[l].code << " row " << number;
        }
    }
}

TEST(Catalogue, EnglishColumnIsCompleteAndIsTheEnglishFile) {
    const PoCatalogue& english = catalogues()[0];
    for (int m = 0; m < MESSAGE_COUNT; ++m) {
        const char* text = MESSAGES[m * LANGUAGE_COUNT];
        ASSERT_NE(text, nullptr) << "row " << m;
        EXPECT_NE(text[0], '\0') << "row " << m;
        EXPECT_EQ(text, english.rows.at(m).id) << "row " << m;
        EXPECT_EQ(text, english.rows.at(m).str) << "row " << m;
    }
}

TEST(Catalogue, EnglishTextsKeepTheirExactSpacing) {
    EXPECT_STREQ(MESSAGES[13 * LANGUAGE_COUNT],
                 "WASD / arrows: move   Right-drag: rotate   Wheel: zoom   1-3: speed   Esc: menu");
    EXPECT_STREQ(MESSAGES[184 * LANGUAGE_COUNT], "Save game  [F5]");
    EXPECT_STREQ(MESSAGES[185 * LANGUAGE_COUNT], "Load game  [F9]");
    EXPECT_STREQ(MESSAGES[191 * LANGUAGE_COUNT], "Day %d   Citizens %d   Jobs %d   Happiness %d%%");
    EXPECT_STREQ(MESSAGES[56 * LANGUAGE_COUNT], "5000 citizens and 60% happiness");
    EXPECT_STREQ(MESSAGES[211 * LANGUAGE_COUNT], "Next");
}

TEST(Catalogue, TranslationsKeepTheEnglishPrintfConversions) {
    const PoCatalogue& english = catalogues()[0];
    EXPECT_EQ(conversions(english.rows.at(42).id), (std::vector<std::string>{"%d", "%d"}));
    EXPECT_EQ(conversions(english.rows.at(203).id), (std::vector<std::string>{"%.1f"}));
    EXPECT_TRUE(conversions(english.rows.at(56).id).empty());
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        for (const auto& [number, row] : catalogues()[l].rows) {
            const std::vector<std::string> expected = conversions(english.rows.at(number).id);
            EXPECT_EQ(row.c_format, !expected.empty()) << LANGUAGES[l].code << " row " << number;
            if (!row.str.empty() && !row.fuzzy) {
                EXPECT_EQ(conversions(row.str), expected) << LANGUAGES[l].code << " row " << number;
            }
        }
    }
}

TEST(Catalogue, GameNameStaysInLatinLettersInEveryTranslation) {
    for (int l = 1; l < LANGUAGE_COUNT; ++l) {
        const PoCatalogue& po = catalogues()[l];
        for (int row : {0, 274}) {
            const std::string& text = po.rows.at(row).str;
            if (!text.empty()) {
                EXPECT_EQ(text, po.rows.at(row).id) << LANGUAGES[l].code << " row " << row;
            }
        }
        for (int row : GAME_NAME_ROWS) {
            const std::string& text = po.rows.at(row).str;
            if (!text.empty()) {
                EXPECT_NE(text.find("Torvanel"), std::string::npos) << LANGUAGES[l].code << " row " << row;
            }
        }
    }
}

TEST(Catalogue, CompiledTableHoldsEveryTranslation) {
    for (int l = 1; l < LANGUAGE_COUNT; ++l) {
        for (const auto& [number, row] : catalogues()[l].rows) {
            const char* entry = MESSAGES[number * LANGUAGE_COUNT + l];
            const std::string compiled = entry ? entry : "";
            const std::string translated = row.fuzzy ? "" : row.str;
            EXPECT_EQ(compiled, translated) << LANGUAGES[l].code << " row " << number;
        }
    }
}
