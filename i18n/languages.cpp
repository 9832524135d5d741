// Languages: the table of the 14 languages, the process-wide current
// language and the mapping from locale codes (system or ZR_LANG) to ids.
#include "i18n/languages.h"

#include <SDL.h>

// The order is the column order of the message catalogue: never reorder.
const LanguageInfo LANGUAGES[LANGUAGE_COUNT] = {
    {"en", "English", false},
    {"pl", "Polski", false},
    {"pt", "Portugu\xC3\xAAs", false},
    {"es", "Espa\xC3\xB1ol", false},
    {"de", "Deutsch", false},
    {"fr",
     "Fran\xC3\xA7"
     "ais",
     false},
    {"it", "Italiano", false},
    {"ru", "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", false},
    {"uk", "\xD0\xA3\xD0\xBA\xD1\x80\xD0\xB0\xD1\x97\xD0\xBD\xD1\x81\xD1\x8C\xD0\xBA\xD0\xB0", false},
    {"tr",
     "T\xC3\xBCrk\xC3\xA7"
     "e",
     false},
    {"zh", "\xE4\xB8\xAD\xE6\x96\x87", false},
    {"ja", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", false},
    {"ar", "\xD8\xA7\xD9\x84\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A\xD8\xA9", true},
    {"hi", "\xE0\xA4\xB9\xE0\xA4\xBF\xE0\xA4\xA8\xE0\xA5\x8D\xE0\xA4\xA6\xE0\xA5\x80", false},
};

static uint8_t g_current_language = 0;

void set_language(uint8_t id) { g_current_language = id < LANGUAGE_COUNT ? id : 0; }

uint8_t current_language() { return g_current_language; }

const LanguageInfo& language_info(uint8_t id) { return LANGUAGES[id]; }

uint8_t match_language_code(const char* text) {
    if (!text) return 0;
    for (int id = 0; id < LANGUAGE_COUNT; ++id) {
        const char* code = LANGUAGES[id].code;
        size_t n = SDL_strlen(code);
        // strncasecmp stops at the text's terminator, so a shorter text
        // ("d") fails here before text[n] is read.
        if (SDL_strncasecmp(text, code, n) != 0) continue;
        char after = text[n];
        if (after == '\0' || after == '-' || after == '_') return static_cast<uint8_t>(id);
    }
    return 0;
}

uint8_t preferred_language() {
    SDL_Locale* locales = SDL_GetPreferredLocales();
    if (!locales) return 0;
    // Only the first locale counts: a user whose first choice we lack gets
    // English rather than their second choice.
    uint8_t id = locales[0].language ? match_language_code(locales[0].language) : 0;
    SDL_free(locales);
    return id;
}
