// The message catalogue: 275 rows x 14 languages, compiled from the PO files
// in this folder into a constant table at build time (no file is read at run
// time). A row's number is its identifier; English is the fallback of every row.
#pragma once
#include <cstdint>
#include <string>

using MsgId = uint16_t;
constexpr int MESSAGE_COUNT = 275;

// Entry of message m in language l is MESSAGES[m * LANGUAGE_COUNT + l];
// an entry may be null or empty (then tr falls back to English).
extern const char* const MESSAGES[];

// Text of message id in the current language, English when that entry is
// null or empty. Process-lifetime text; no range check on id.
const char* tr(MsgId id);
// tr's lookup on any table laid out like MESSAGES: entry (id, language),
// or entry (id, 0) when that one is null or empty.
const char* tr_from(const char* const* table, MsgId id, uint8_t language);

// printf-formats into a new string of at most 1023 bytes (longer results
// are cut after the 1023rd byte, possibly inside a UTF-8 character).
std::string format_text(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
