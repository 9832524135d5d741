// The catalogue generator: a valid catalogue is accepted; a broken one stops it with "file:line: reason", exit 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "tests/support/portable.h"

namespace fs = std::filesystem;

namespace {

// The English text of a row the program names, or null.
const char* named_english(int row) {
    for (const NamedMessage& named : NAMED_MESSAGES) {
        if (named.row == row) return named.english;
    }
    return nullptr;
}

// Rows of the test catalogue that are not the program's: one with conversions, one with a quote and a prose
// percent sign; every other row not named by the program reads "Message <row>".
constexpr int ROW_WITH_CONVERSIONS = 1;
constexpr int ROW_WITH_A_QUOTE = 4;
static_assert(ROW_WITH_CONVERSIONS != MSG_BACK && ROW_WITH_CONVERSIONS != MSG_CLOSE);

// The PO file of language `l`: every row translated (English as is, the others marked with the code); the rows
// the program names read as it expects them to.
std::string po_text(int l) {
    std::string text = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    for (int m = 0; m < MESSAGE_COUNT; ++m) {
        const char* named = named_english(m);
        std::string id = "Message " + std::to_string(m);
        if (named) id = named;
        if (m == ROW_WITH_CONVERSIONS) id = "Day %d of %s, 5%%";
        if (m == ROW_WITH_A_QUOTE) id = "Happy 60% \\\"now\\\"";
        const bool c_format = m == ROW_WITH_CONVERSIONS || (named && std::strchr(named, '%'));
        const std::string translated = l == 0 ? id : id + " (" + LANGUAGES[l].code + ")";
        if (c_format) text += "\n#, c-format";
        text += "\nmsgctxt \"" + std::to_string(m) + "\"\nmsgid \"" + id + "\"\nmsgstr \"" + translated + "\"\n";
    }
    return text;
}

int id_of(const char* code) {
    for (int id = 0; id < LANGUAGE_COUNT; ++id) {
        if (std::strcmp(LANGUAGES[id].code, code) == 0) return id;
    }
    ADD_FAILURE() << "no language " << code;
    return 0;
}

// One edit of one language's file.
struct Edit {
    const char* code;  // the language whose file is edited
    std::string from;
    std::string to;
};

// The generator run on the fourteen files of a test catalogue, one of them edited.
class PoCompiler : public testing::Test {
protected:
    ~PoCompiler() override { fs::remove_all(dir); }

    fs::path po(int l) const { return dir / (std::string(LANGUAGES[l].code) + ".po"); }
    // Writes the files with `edit` made, runs the generator; its exit status, its error output in `errors`.
    int compile(const Edit& edit) {
        std::vector<std::string> args = {table.u8string()};
        for (int l = 0; l < LANGUAGE_COUNT; ++l) {
            std::string text = po_text(l);
            if (l == id_of(edit.code)) {
                text.replace(text.find(edit.from), edit.from.size(), edit.to);
                edited = text;
            }
            std::ofstream(po(l), std::ios::binary) << text;
            args.push_back(po(l).u8string());
        }
        testing::internal::CaptureStderr();
        const int status = run_program(TORVANEL_PO_COMPILER, args);
        errors = testing::internal::GetCapturedStderr();
        return status;
    }
    // The 1-based line of the edited file on which `text` begins.
    long line_of(const std::string& text) const {
        return 1 + std::count(edited.begin(), edited.begin() + edited.find(text), '\n');
    }

    const fs::path dir = fs::u8path(make_temp_dir("po_compiler_test"));
    const fs::path table = dir / "messages_table.cpp";
    std::string edited;  // the edited file's text
    std::string errors;
};

TEST_F(PoCompiler, AcceptsACatalogueWhoseTranslationPutsAConversionFirstAndWritesTheTable) {
    EXPECT_EQ(compile({"tr", "Day %d of %s, 5%% (tr)", "%%5, %d. gun, %s (tr)"}), 0) << errors;
    EXPECT_TRUE(fs::exists(table));
    EXPECT_EQ(errors, "");
}

TEST_F(PoCompiler, RejectsABrokenFileAtItsLineWithTheReasonAndWritesNoTable) {
    const std::string next = std::to_string(MSG_NEXT);
    const struct {
        const char* what;
        Edit edit;
        const char* line;  // the text the reported line begins with
        std::string reason;
    } rows[] = {
        {"an unclosed string",
         {"de", "\"Message 8 (de)\"", "\"Message 8 (de)"},
         "\"Message 8 (de)",
         "missing closing quote"},
        {"a row twice", {"fr", "msgctxt \"8\"", "msgctxt \"7\" "}, "msgctxt \"7\" ", "duplicate row 7"},
        {"a row left out",
         {"pl", "msgctxt \"100\"\nmsgid \"Message 100\"\nmsgstr \"Message 100 (pl)\"\n\n", ""},
         "msgctxt \"101\"",
         "row 100 is missing"},
        {"conversions swapped",
         {"it", "Day %d of %s, 5%% (it)", "Day %s of %d, 5%% (it)"},
         "Day %s of %d",
         "row 1: printf conversions (%s %d %%) differ from English (%d %s %%)"},
        {"a lone percent sign",
         {"tr", "5%% (tr)", "5% (tr)"},
         "5% (tr)",
         "row 1: printf conversions (%d %s) differ from English (%d %s %%)"},
        {"a named row's English changed",
         {"en", "msgid \"Next\"\nmsgstr \"Next\"", "msgid \"Continue\"\nmsgstr \"Continue\""},
         "msgid \"Continue\"",
         "row " + next + " reads \"Continue\" where MSG_NEXT in i18n/messages.h expects \"Next\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(compile(row.edit), 1);
        EXPECT_FALSE(fs::exists(table));
        const std::string where = po(id_of(row.edit.code)).string() + ":" + std::to_string(line_of(row.line));
        EXPECT_EQ(errors.rfind(where + ": " + row.reason, 0), 0u) << errors;
    }
}

}  // namespace
