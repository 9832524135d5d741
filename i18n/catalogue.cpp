// The message catalogue's lookup (tr, with English fallback) and the
// bounded printf formatter. The table itself, MESSAGES, is generated at
// build time by po_compiler from the PO files of this folder.
#include "i18n/catalogue.h"

#include <cstdarg>
#include <cstdio>

#include "i18n/languages.h"

const char* tr_from(const char* const* table, MsgId id, uint8_t language) {
    const char* text = table[id * LANGUAGE_COUNT + language];
    if (text && text[0] != '\0') return text;
    return table[id * LANGUAGE_COUNT];
}

const char* tr(MsgId id) { return tr_from(MESSAGES, id, current_language()); }

std::string format_text(const char* format, ...) {
    // Callers rely on the 1023-byte bound (a long path cannot grow a label
    // without limit), so the cut is part of the contract, not a fallback.
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) return std::string();
    size_t kept = static_cast<size_t>(length) < sizeof buffer ? static_cast<size_t>(length) : sizeof buffer - 1;
    return std::string(buffer, kept);
}
