// The catalogue generator: a valid catalogue is accepted; a broken one stops it with "file:line: reason", exit 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "tests/support/portable.h"

namespace fs = std::filesystem;

// The English text of a row the program names, or null.
static const char* named_english(int row) {
    for (const NamedMessage& named : NAMED_MESSAGES)
        if (named.row == row) return named.english;
    return nullptr;
}

// Every row translated; row 1 has conversions, row 4 a quote and a prose percent sign; the rows the program names
// read as it expects them to.
static std::string po_text(int l) {
    std::string text = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    for (int m = 0; m < MESSAGE_COUNT; ++m) {
        const char* named = named_english(m);
        const std::string id = named ? named
                               : m == 1 ? "Day %d of %s, 5%%"
                               : m == 4 ? "Happy 60% \\\"now\\\""
                                        : "Message " + std::to_string(m);
        const bool c_format = m == 1 || (named && std::strchr(named, '%'));
        text += std::string(c_format ? "\n#, c-format" : "") + "\nmsgctxt \"" + std::to_string(m) + "\"\nmsgid \"" + id +
                "\"\nmsgstr \"" + (l == 0 ? id : id + " (" + LANGUAGES[l].code + ")") + "\"\n";
    }
    return text;
}

TEST(PoCompiler, AcceptsAValidCatalogueAndRejectsABrokenFileAtItsLineWithTheReason) {
    const fs::path dir = fs::u8path(make_temp_dir("po_compiler_test")), table = dir / "messages_table.cpp";
    const auto po = [&](int l) { return dir / (std::string(LANGUAGES[l].code) + ".po"); };
    const struct { int file; const char *from, *to, *line, *reason; } cases[] = {
        {4, "\"Message 8 (de)\"", "\"Message 8 (de)", "\"Message 8 (de)", "missing closing quote"},
        {5, "msgctxt \"8\"", "msgctxt \"7\" ", "msgctxt \"7\" ", "duplicate row 7"},
        {1, "msgctxt \"100\"\nmsgid \"Message 100\"\nmsgstr \"Message 100 (pl)\"\n\n", "", "msgctxt \"101\"",
         "row 100 is missing"},
        {6, "Day %d of %s, 5%% (it)", "Day %s of %d, 5%% (it)", "Day %s of %d",
         "row 1: printf conversions (%s %d %%) differ from English (%d %s %%)"},
        {9, "5%% (tr)", "5% (tr)", "5% (tr)", "row 1: printf conversions (%d %s) differ from English (%d %s %%)"},
        {0, "msgid \"Next\"\nmsgstr \"Next\"", "msgid \"Continue\"\nmsgstr \"Continue\"", "msgid \"Continue\"",
         "row 211 reads \"Continue\" where MSG_NEXT in i18n/messages.h expects \"Next\""},
        {9, "Day %d of %s, 5%% (tr)", "%%5, %d. gun, %s (tr)", "", nullptr},  // valid, % first; last: it leaves a table
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason ? c.reason : c.to);
        std::vector<std::string> args = {table.u8string()};
        std::string edited;
        for (int l = 0; l < LANGUAGE_COUNT; ++l) {
            std::string text = po_text(l);
            if (l == c.file) edited = text.replace(text.find(c.from), std::strlen(c.from), c.to);
            std::ofstream(po(l), std::ios::binary) << text;
            args.push_back(po(l).u8string());
        }
        testing::internal::CaptureStderr();
        const int status = run_program(TORVANEL_PO_COMPILER, args);
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::make_tuple(status, fs::exists(table), errors.empty()),
                  std::make_tuple(c.reason ? 1 : 0, !c.reason, !c.reason)) << errors;
        if (!c.reason) continue;
        const long line = 1 + std::count(edited.begin(), edited.begin() + edited.find(c.line), '\n');
        EXPECT_EQ(errors.rfind(po(c.file).string() + ":" + std::to_string(line) + ": " + c.reason, 0), 0u) << errors;
    }
    fs::remove_all(dir);
}
