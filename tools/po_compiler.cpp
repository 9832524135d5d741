// po_compiler: the build step that turns the catalogue's PO files, one per
// language in column order (English first), into the constant table
// MESSAGES as a C++ source file, after checking that every row the program
// names (i18n/messages.h) is there with its English text. Any fault in the
// files stops the build with "file:line: reason" on stderr and exit code 1;
// nothing is written then.
//
//   po_compiler OUTPUT.cpp en.po pl.po ... hi.po
//
// PO conventions of the catalogue: msgctxt is the row number, msgid the
// English text, msgstr the translation (empty: not translated yet, English
// is shown). A fuzzy entry counts as untranslated. Rows whose English text
// has printf conversions carry "#, c-format", and every translation keeps
// the same conversions in the same order, so one argument list fits all.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "i18n/messages.h"
#include "text/utf8.h"

// [SECTION] Reporting

// A fuzz harness that builds this file in throws PoFault instead, silently,
// so that one faulty input does not end the run.
[[noreturn]] static void fail(const std::string& path, int line, const std::string& reason) {
#ifdef PO_COMPILER_FAIL_THROWS
    (void)path, (void)line, (void)reason;
    throw PoFault();
#else
    std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), line, reason.c_str());
    std::exit(1);
#endif
}

// [SECTION] Reading a PO file

struct PoEntry {
    int line = 0;  // first line of the entry, comments included
    bool fuzzy = false;
    bool c_format = false;
    bool has_context = false, has_id = false, has_str = false;
    std::string context, id, str;
    int context_line = 0, id_line = 0, str_line = 0;
};

struct PoFile {
    std::string path;
    std::vector<PoEntry> entries;
    int line_count = 0;
};

// Decodes the quoted string that starts at text[pos] (a '"'); only spaces
// may follow the closing quote.
static std::string read_quoted(const std::string& text, size_t pos, const std::string& path, int line) {
    std::string out;
    size_t i = pos + 1;
    for (;; ++i) {
        if (i >= text.size()) fail(path, line, "missing closing quote");
        char c = text[i];
        if (c == '"') break;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size()) fail(path, line, "missing closing quote");
        switch (text[i]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'v': out += '\v'; break;
        case '\'': out += '\''; break;
        case '?': out += '?'; break;
        default: fail(path, line, std::string("unsupported escape \\") + text[i]);
        }
    }
    if (text.find_first_not_of(" \t", i + 1) != std::string::npos)
        fail(path, line, "unexpected text after the closing quote");
    return out;
}

static std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "#, fuzzy, c-format": the flags that matter here; others are ignored.
static void read_flags(const std::string& comment, PoEntry& entry) {
    size_t pos = 2;  // after "#,"
    while (pos <= comment.size()) {
        size_t comma = comment.find(',', pos);
        if (comma == std::string::npos) comma = comment.size();
        const std::string flag = trimmed(comment.substr(pos, comma - pos));
        if (flag == "fuzzy") entry.fuzzy = true;
        if (flag == "c-format") entry.c_format = true;
        pos = comma + 1;
    }
}

static PoFile read_po(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail(path, 0, "cannot open the file");
    PoFile file;
    file.path = path;
    PoEntry entry;
    std::string* continued = nullptr;  // the field that a bare "..." line extends
    int line_no = 0;

    auto finish_entry = [&] {
        if (entry.has_context || entry.has_id || entry.has_str) {
            if (!entry.has_id) fail(path, entry.line, "entry without msgid");
            if (!entry.has_str) fail(path, entry.line, "entry without msgstr");
            file.entries.push_back(entry);
        }
        entry = PoEntry();
        continued = nullptr;
    };

    std::string line;
    while (std::getline(in, line)) {
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos) {  // a blank line ends the entry
            finish_entry();
            continue;
        }
        const char lead = line[start];
        if (lead == '"') {
            if (!continued) fail(path, line_no, "string without a keyword");
            *continued += read_quoted(line, start, path, line_no);
            continue;
        }
        // A comment or keyword after the msgstr begins the next entry.
        if (entry.has_str) finish_entry();
        if (entry.line == 0) entry.line = line_no;
        if (lead == '#') {
            continued = nullptr;
            // Obsolete entries (#~) and other comments are ignored.
            if (line.compare(start, 2, "#,") == 0) read_flags(line.substr(start), entry);
            continue;
        }
        size_t end = line.find_first_of(" \t\"", start);
        std::string keyword = line.substr(start, end - start);
        size_t quote = end == std::string::npos ? end : line.find_first_not_of(" \t", end);
        if (keyword == "msgid_plural" || keyword.compare(0, 7, "msgstr[") == 0)
            fail(path, line_no, "plural forms are not used in the catalogue");
        bool* seen = nullptr;
        int* field_line = nullptr;
        if (keyword == "msgctxt") {
            if (entry.has_id) fail(path, line_no, "msgctxt must come before msgid");
            seen = &entry.has_context, field_line = &entry.context_line, continued = &entry.context;
        } else if (keyword == "msgid") {
            seen = &entry.has_id, field_line = &entry.id_line, continued = &entry.id;
        } else if (keyword == "msgstr") {
            if (!entry.has_id) fail(path, line_no, "msgstr without msgid");
            seen = &entry.has_str, field_line = &entry.str_line, continued = &entry.str;
        } else {
            fail(path, line_no, "unknown keyword '" + keyword + "'");
        }
        if (*seen) fail(path, line_no, "repeated " + keyword);
        if (quote == std::string::npos || line[quote] != '"') fail(path, line_no, keyword + " without a quoted string");
        *seen = true;
        *field_line = line_no;
        *continued = read_quoted(line, quote, path, line_no);
    }
    finish_entry();
    file.line_count = line_no;
    for (const PoEntry& e : file.entries) {
        if (!utf8_well_formed(e.context) || !utf8_well_formed(e.id)) fail(path, e.id_line, "text is not valid UTF-8");
        if (!utf8_well_formed(e.str)) fail(path, e.str_line, "text is not valid UTF-8");
    }
    return file;
}

// [SECTION] printf conversions

// The printf conversions of a format in order, such as "%d",
// "%.1f" and "%%". A '%' that starts no valid conversion is skipped and
// reported through *stray: in prose ("60% happiness") it is a plain percent
// sign, which is why the space flag is not accepted here.
static std::vector<std::string> conversions(const std::string& text, bool* stray) {
    std::vector<std::string> found;
    *stray = false;
    auto digits = [&](size_t j) {
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        return j;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        size_t j = i + 1;
        while (j < text.size() && std::string("-+#0").find(text[j]) != std::string::npos) ++j;
        j = (j < text.size() && text[j] == '*') ? j + 1 : digits(j);
        if (j < text.size() && text[j] == '.') j = (j + 1 < text.size() && text[j + 1] == '*') ? j + 2 : digits(j + 1);
        for (const char* length : {"hh", "ll", "h", "l", "j", "z", "t", "L"})
            if (text.compare(j, std::string(length).size(), length) == 0) {
                j += std::string(length).size();
                break;
            }
        if (j < text.size() && std::string("diouxXfFeEgGaAcspn%").find(text[j]) != std::string::npos) {
            found.push_back(text.substr(i, j - i + 1));
            i = j;
        } else {
            *stray = true;
        }
    }
    return found;
}

// The conversions as a translation must keep them: those that take an
// argument in their order, then every "%%" (a percent sign may stand on
// either side of its number, as Turkish writes "%50").
static std::vector<std::string> argument_order(std::vector<std::string> list) {
    std::stable_partition(list.begin(), list.end(), [](const std::string& c) { return c != "%%"; });
    return list;
}

static std::string joined(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& s : list) out += (out.empty() ? "" : " ") + s;
    return out.empty() ? "none" : out;
}

// [SECTION] Checking the catalogue

// The entry of every row, in row order; the header entry (empty msgid, no
// msgctxt) is skipped.
static std::vector<const PoEntry*> index_rows(const PoFile& file) {
    std::vector<const PoEntry*> rows(MESSAGE_COUNT, nullptr);
    for (const PoEntry& e : file.entries) {
        if (!e.has_context) {
            if (e.id.empty()) continue;
            fail(file.path, e.id_line, "entry without a msgctxt row number");
        }
        const std::string& ctx = e.context;
        if (ctx.empty() || ctx.size() > 6 || ctx.find_first_not_of("0123456789") != std::string::npos)
            fail(file.path, e.context_line, "row number \"" + ctx + "\" is not a number");
        int row = std::atoi(ctx.c_str());
        if (row >= MESSAGE_COUNT)
            fail(file.path, e.context_line,
                 "row " + ctx + " is out of range (0 to " + std::to_string(MESSAGE_COUNT - 1) + ")");
        if (rows[row])
            fail(file.path, e.context_line,
                 "duplicate row " + ctx + " (first at line " + std::to_string(rows[row]->context_line) + ")");
        rows[row] = &e;
    }
    for (int row = 0; row < MESSAGE_COUNT; ++row) {
        if (rows[row]) continue;
        // Point at the entry that comes where the missing row belongs, or
        // at the end of the last entry.
        int line = file.entries.empty() ? file.line_count : file.entries.back().str_line;
        for (int next = row + 1; next < MESSAGE_COUNT; ++next)
            if (rows[next]) {
                line = rows[next]->line;
                break;
            }
        fail(file.path, line, "row " + std::to_string(row) + " is missing");
    }
    return rows;
}

// The text of one row in one column after every check; empty when the row
// is not translated.
static std::string checked_text(const PoFile& file, const PoEntry& e, const PoEntry& english, const PoFile& en_file,
                                bool is_english) {
    const std::string row = "row " + e.context;
    if (english.id.empty()) fail(en_file.path, english.id_line, row + " has an empty English text");
    if (is_english) {
        if (!e.str.empty() && e.str != e.id)
            fail(file.path, e.str_line, row + ": the English msgstr differs from its msgid");
    } else if (e.id != english.id) {
        fail(file.path, e.id_line, row + ": msgid differs from the English text in " + en_file.path);
    }
    bool stray = false;
    const std::vector<std::string> expected = argument_order(conversions(english.id, &stray));
    if (!expected.empty() && !e.c_format) fail(file.path, e.line, row + " has printf conversions but no c-format flag");

    const std::string text = is_english ? e.id : (e.fuzzy ? std::string() : e.str);
    const int text_line = is_english ? e.id_line : e.str_line;
    if (text.empty()) return text;
    const std::vector<std::string> found = argument_order(conversions(text, &stray));
    if (found != expected)
        fail(file.path, text_line,
             row + ": printf conversions (" + joined(found) + ") differ from English (" + joined(expected) + ")");
    if (stray && e.c_format)
        fail(file.path, text_line, row + ": a '%' starts no printf conversion (write %% for a percent sign)");
    return text;
}

// [SECTION] The rows the program names

// Every row that i18n/messages.h names must exist and still hold the English
// text written beside its name: a renumbered or reworded row would otherwise
// leave the program showing another text under the old name.
static void check_named_rows(const PoFile& english, const std::vector<const PoEntry*>& rows) {
    for (const NamedMessage& named : NAMED_MESSAGES) {
        const std::string name = std::string(named.name) + " in i18n/messages.h";
        if (named.row >= MESSAGE_COUNT || !rows[named.row])
            fail(english.path, english.line_count,
                 name + " names row " + std::to_string(named.row) + ", which the catalogue does not have");
        const PoEntry& entry = *rows[named.row];
        if (entry.id != named.english)
            fail(english.path, entry.id_line,
                 "row " + entry.context + " reads \"" + entry.id + "\" where " + name + " expects \"" + named.english +
                     "\"");
    }
}

// [SECTION] Writing the table

// A C++ string literal for any bytes: printable ASCII stays readable, every
// other byte becomes a three-digit octal escape, which cannot swallow the
// digits that follow it (a hex escape would).
static std::string c_literal(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\' || c == '?') {  // '?': no trigraph can form
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", c);
            out += escape;
        }
    }
    return out + "\"";
}

int main(int argc, char** argv) {
    if (argc != 2 + LANGUAGE_COUNT) {
        std::fprintf(stderr, "usage: po_compiler OUTPUT.cpp PO-FILE... (%d files, English first, in column order)\n",
                     LANGUAGE_COUNT);
        return 2;
    }
    std::vector<PoFile> files;
    std::vector<std::vector<const PoEntry*>> columns;
    files.reserve(LANGUAGE_COUNT);  // columns point into the files
    for (int l = 0; l < LANGUAGE_COUNT; ++l) {
        files.push_back(read_po(argv[2 + l]));
        columns.push_back(index_rows(files.back()));
    }
    check_named_rows(files[0], columns[0]);

    std::string out =
        "// Generated at build time by po_compiler from the catalogue's PO files;\n"
        "// edit the PO files, not this file.\n"
        "#include \"i18n/catalogue.h\"\n#include \"i18n/languages.h\"\n\n"
        "const char* const MESSAGES[MESSAGE_COUNT * LANGUAGE_COUNT] = {\n";
    for (int row = 0; row < MESSAGE_COUNT; ++row) {
        out += "    // " + std::to_string(row) + "\n";
        for (int l = 0; l < LANGUAGE_COUNT; ++l) {
            std::string text = checked_text(files[l], *columns[l][row], *columns[0][row], files[0], l == 0);
            out += "    " + (text.empty() ? std::string("nullptr") : c_literal(text)) + ",\n";
        }
    }
    out += "};\n";

    const std::string output = argv[1];
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << out;
    file.close();
    if (!file) {
        std::remove(output.c_str());
        fail(output, 0, "cannot write the file");
    }
    return 0;
}
