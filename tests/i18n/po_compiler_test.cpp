// The catalogue generator, run on small catalogues written at test time: a
// good one becomes a table that compiles without warnings and holds every
// text byte for byte; each kind of fault stops it with "file:line: reason"
// on stderr, a non-zero exit and no output file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"

namespace fs = std::filesystem;

namespace {

struct Row {
    std::string id, str;
    bool c_format = false, fuzzy = false;
};

// English texts with the kinds of format the real catalogue has.
std::string english_text(int row) {
    switch (row) {
        case 1: return "Day %d";
        case 2: return "Mission %d of %d";
        case 3: return "Space needed: about %.1f MB";
        case 4: return "Happy %d%%";
        case 5: return "5000 citizens and 60% happiness";
        default: return "Message " + std::to_string(row);
    }
}

std::string po_string(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out + "\"";
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class PoCompiler : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("po_compiler_test_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        reset();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Every language with the English rows; only English is translated.
    void reset() {
        rows_.assign(LANGUAGE_COUNT, std::vector<Row>(MESSAGE_COUNT));
        for (int l = 0; l < LANGUAGE_COUNT; ++l)
            for (int m = 0; m < MESSAGE_COUNT; ++m) {
                Row& row = rows_[l][m];
                row.id = english_text(m);
                row.c_format = m >= 1 && m <= 4;
                if (l == 0) row.str = row.id;
            }
        edits_.clear();
    }

    fs::path po_path(int l) const { return dir_ / (std::string(LANGUAGES[l].code) + ".po"); }
    fs::path table_path() const { return dir_ / "messages_table.cpp"; }

    // A textual edit of file l, applied after the rows are written out.
    void edit(int l, const std::string& from, const std::string& to) { edits_.push_back({l, from, to}); }

    std::string render(int l) const {
        std::string text = "# Test catalogue.\nmsgid \"\"\nmsgstr \"\"\n\"Language: " + std::string(LANGUAGES[l].code) +
                           "\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
        for (int m = 0; m < MESSAGE_COUNT; ++m) {
            const Row& row = rows_[l][m];
            if (row.fuzzy || row.c_format)
                text += std::string("#,") + (row.fuzzy ? " fuzzy" : "") + (row.fuzzy && row.c_format ? "," : "") +
                        (row.c_format ? " c-format" : "") + "\n";
            text += "msgctxt \"" + std::to_string(m) + "\"\nmsgid " + po_string(row.id) + "\nmsgstr " +
                    po_string(row.str) + "\n\n";
        }
        for (const Edit& e : edits_) {
            if (e.file != l) continue;
            size_t at = text.find(e.from);
            if (at == std::string::npos) ADD_FAILURE() << "no " << e.from << " in file " << l;
            else text.replace(at, e.from.size(), e.to);
        }
        return text;
    }

    // Writes the files and runs the generator on the first `files` of them.
    int run(int files = LANGUAGE_COUNT) {
        std::string command = std::string("'") + TORVANEL_PO_COMPILER + "' '" + table_path().string() + "'";
        texts_.clear();
        for (int l = 0; l < files; ++l) {
            texts_.push_back(render(l));
            std::ofstream(po_path(l), std::ios::binary) << texts_.back();
            command += " '" + po_path(l).string() + "'";
        }
        command += " 2>'" + (dir_ / "stderr.txt").string() + "'";
        int status = std::system(command.c_str());
        errors_ = read_file(dir_ / "stderr.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Line number of the nth line of the written file l that contains text.
    int line_of(int l, const std::string& text, int nth = 1) const {
        std::istringstream in(texts_.at(l));
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            if (line.find(text) != std::string::npos && --nth == 0) return number;
        ADD_FAILURE() << "no line with " << text;
        return -1;
    }

    // The generator must stop at file l, on the line holding line_text.
    void expect_rejected(int l, const std::string& line_text, const std::string& reason, int nth = 1) {
        EXPECT_EQ(run(), 1);
        EXPECT_FALSE(fs::exists(table_path()));
        const std::string where = po_path(l).string() + ":" + std::to_string(line_of(l, line_text, nth)) + ": ";
        EXPECT_EQ(errors_.rfind(where, 0), 0u) << errors_ << "expected at " << where;
        EXPECT_NE(errors_.find(reason), std::string::npos) << errors_;
        reset();
    }

    struct Edit {
        int file;
        std::string from, to;
    };
    fs::path dir_;
    std::vector<std::vector<Row>> rows_;
    std::vector<Edit> edits_;
    std::vector<std::string> texts_;
    std::string errors_;
};

}  // namespace

TEST_F(PoCompiler, GoodCatalogueBecomesATableWithEveryTextByteForByte) {
    rows_[4][10].str = "Zeile \"eins\"\n2\tzwei \\ drei ?\?= ?";  // quotes, escapes, a trigraph look-alike
    rows_[10][11].str = u8"中文 123";                            // escaped bytes followed by digits
    rows_[12][12].str = u8"العربية";
    rows_[4][2].str = "Mission %d von %d";
    rows_[9][4].str = "Mutlu %d%%";
    rows_[5][5].str = "60 % de bonheur";  // no conversions: a percent sign as prose
    rows_[13][1] = {english_text(1), "Din %s", true, true};  // fuzzy: unchecked and not shown
    rows_[3][30].str = "placeholder";
    edit(3, "msgstr \"placeholder\"", "msgstr \"\"\n\"Parte uno, \"\n   \"parte dos\"");
    ASSERT_EQ(run(), 0) << errors_;

    // Compile the table as the program does and dump every entry.
    const fs::path dump_source = dir_ / "dump.cpp", dump = dir_ / "dump";
    std::ofstream(dump_source) << "#include <cstdio>\n#include \"i18n/catalogue.h\"\n#include \"i18n/languages.h\"\n"
                                  "int main() {\n  for (int i = 0; i < MESSAGE_COUNT * LANGUAGE_COUNT; ++i) {\n"
                                  "    std::fputs(MESSAGES[i] ? MESSAGES[i] : \"(null)\", stdout);\n"
                                  "    std::fputc(0, stdout);\n  }\n}\n";
    const std::string compile = std::string("'") + TORVANEL_CXX + "' -std=c++17 -Wall -Wextra -Werror -I'" +
                                TORVANEL_SOURCE_ROOT + "' '" + table_path().string() + "' '" + dump_source.string() +
                                "' -o '" + dump.string() + "'";
    ASSERT_EQ(std::system(compile.c_str()), 0) << compile;
    ASSERT_EQ(std::system(("'" + dump.string() + "' > '" + (dir_ / "dump.out").string() + "'").c_str()), 0);
    std::vector<std::string> entries;
    std::istringstream out(read_file(dir_ / "dump.out"));
    for (std::string entry; std::getline(out, entry, '\0');) entries.push_back(entry);
    ASSERT_EQ(entries.size(), static_cast<size_t>(MESSAGE_COUNT * LANGUAGE_COUNT));

    rows_[3][30].str = "Parte uno, parte dos";
    rows_[13][1].str.clear();
    for (int m = 0; m < MESSAGE_COUNT; ++m)
        for (int l = 0; l < LANGUAGE_COUNT; ++l) {
            const std::string& expected = rows_[l][m].str;
            EXPECT_EQ(entries[m * LANGUAGE_COUNT + l], expected.empty() ? "(null)" : expected)
                << "row " << m << " language " << l;
        }
}

TEST_F(PoCompiler, MalformedFilesAreRejectedAtTheirLine) {
    rows_[4][8].str = "Acht";
    edit(4, "\"Acht\"", "\"Acht");
    expect_rejected(4, "\"Acht", "missing closing quote");

    rows_[4][8].str = "Acht";
    edit(4, "\"Acht\"", "\"Acht\" x");
    expect_rejected(4, "\"Acht\" x", "after the closing quote");

    rows_[4][8].str = "Acht";
    edit(4, "msgstr \"Acht\"", "msgstring \"Acht\"");
    expect_rejected(4, "msgstring", "unknown keyword");

    edit(7, "msgctxt \"9\"", "\"9\"");
    expect_rejected(7, "\"9\"", "string without a keyword");

    rows_[5][9].str = "Neuf\\";
    edit(5, "\"Neuf\\\\\"", "\"Neuf\\q\"");
    expect_rejected(5, "Neuf", "unsupported escape");

    edit(2, "msgstr \"\"\n\nmsgctxt \"12\"", "msgid_plural \"x\"\nmsgstr[0] \"\"\n\nmsgctxt \"12\"");
    expect_rejected(2, "msgid_plural", "plural");

    edit(6, "msgctxt \"20\"\nmsgid \"Message 20\"\nmsgstr \"\"", "msgctxt \"20\"\nmsgid \"Message 20\"");
    expect_rejected(6, "msgctxt \"20\"", "without msgstr");
}

TEST_F(PoCompiler, RowNumbersMustCoverTheCatalogueOnce) {
    edit(4, "msgctxt \"0\"", "msgctxt \"7\"\nmsgid \"Message 7\"\nmsgstr \"\"\n\nmsgctxt \"0\"");
    expect_rejected(4, "msgctxt \"7\"", "duplicate row 7", 2);

    edit(5, "msgctxt \"100\"\nmsgid \"Message 100\"\nmsgstr \"\"\n\n", "");
    expect_rejected(5, "msgctxt \"101\"", "row 100 is missing");

    edit(0, "msgctxt \"274\"\nmsgid \"Message 274\"\nmsgstr \"Message 274\"\n\n", "");
    expect_rejected(0, "msgstr \"Message 273\"", "row 274 is missing");

    edit(6, "msgctxt \"274\"", "msgctxt \"275\"");
    expect_rejected(6, "msgctxt \"275\"", "out of range");

    edit(6, "msgctxt \"17\"", "msgctxt \"seventeen\"");
    expect_rejected(6, "seventeen", "not a number");

    edit(8, "msgctxt \"17\"\n", "");
    expect_rejected(8, "msgid \"Message 17\"", "without a msgctxt");
}

TEST_F(PoCompiler, EveryLanguageMustTranslateTheEnglishText) {
    rows_[7][50].id = "Message 5O";
    expect_rejected(7, "msgid \"Message 5O\"", "differs from the English text");

    rows_[0][60].id = rows_[0][60].str = "";
    expect_rejected(0, "msgid \"\"", "empty English text", 2);  // the first is the header's

    rows_[0][61].str = "Message sixty-one";
    expect_rejected(0, "msgstr \"Message sixty-one\"", "English msgstr differs");
}

TEST_F(PoCompiler, TranslationsMustKeepTheConversionsInOrder) {
    struct Case {
        int language, row;
        std::string text, reason;
    };
    const Case cases[] = {
        {4, 1, "Tag %s", "(%s) differ from English (%d)"},
        {9, 4, "Mutlu %%%d", "(%% %d) differ from English (%d %%)"},
        {3, 3, "Espacio: %.2f MB", "(%.2f) differ from English (%.1f)"},
        {5, 2, "Mission %d", "(%d) differ from English (%d %d)"},
        {6, 10, "Messaggio %d", "(%d) differ from English (none)"},
        {4, 1, "Tag %d, 5% mehr", "starts no printf conversion"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        rows_[c.language][c.row].str = c.text;
        expect_rejected(c.language, "msgstr " + po_string(c.text), c.reason);
    }
}

TEST_F(PoCompiler, RowsWithConversionsNeedTheCFormatFlag) {
    rows_[11][2].c_format = false;
    expect_rejected(11, "msgctxt \"2\"", "no c-format flag");

    rows_[0][3].c_format = false;
    expect_rejected(0, "msgctxt \"3\"", "no c-format flag");
}

TEST_F(PoCompiler, WrongNumberOfFilesIsAUsageError) {
    EXPECT_EQ(run(LANGUAGE_COUNT - 1), 2);
    EXPECT_NE(errors_.find("usage"), std::string::npos);
    EXPECT_FALSE(fs::exists(table_path()));
}
