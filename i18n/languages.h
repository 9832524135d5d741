// Languages: the fixed table of the 14 languages the program speaks, the
// process-wide current language, and the mapping from locale codes to ids.
// A language id is an index into LANGUAGES and also a column of the
// message catalogue (i18n/catalogue.h), so the order of the table is data.
#pragma once
#include <cstdint>

struct LanguageInfo {
    const char* code;         // lower-case two-letter code, "en"
    const char* native_name;  // the language's own name, label of the language button
    bool right_to_left;       // true for Arabic only; carried as data
};

constexpr int LANGUAGE_COUNT = 14;
extern const LanguageInfo LANGUAGES[LANGUAGE_COUNT];

// Stores id as the current language; an id of 14 or more stores 0 (English).
void set_language(uint8_t id);
// The stored id; 0 before anything sets it.
uint8_t current_language();
// The table row of id. The caller passes a valid id.
const LanguageInfo& language_info(uint8_t id);
// Maps a language or locale code (de, pt-BR, zh_CN, UK) to an id; only the
// language part counts. Null, empty or unknown codes give 0.
uint8_t match_language_code(const char* text);
// The id of the first locale SDL reports as preferred; 0 when there is none
// or it matches nothing. Later locales are never consulted.
uint8_t preferred_language();
