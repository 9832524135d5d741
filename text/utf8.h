// UTF-8, read and written the one way every part of the program shares:
// wrapping, shaping, glyph lookup, path elision and the catalogue compiler
// all split a text into the same characters, so what is measured, drawn and
// checked is the same sequence. A well-formed sequence gives its code point;
// any byte that does not start one (a stray continuation byte, a lead whose
// sequence is cut short or broken, an overlong form, a surrogate, anything
// past U+10FFFF) gives U+FFFD and moves on by that one byte, so a walk always
// advances, never reads past the text and picks up at the next good
// sequence. Header-only, so the build-time catalogue compiler can use it
// without the text library.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t REPLACEMENT_CHARACTER = 0xFFFD;

struct Utf8Char {
    uint32_t code;  // REPLACEMENT_CHARACTER for a malformed byte
    size_t length;  // bytes taken: 1 to 4; 1 for a malformed byte
    bool well_formed;
};

// The character that starts at text[pos]; pos must lie inside the text.
inline Utf8Char utf8_decode(const std::string& text, size_t pos) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data()) + pos;
    const size_t available = text.size() - pos;
    const unsigned char lead = s[0];
    if (lead < 0x80) return {lead, 1, true};
    // The lead fixes the length and the range of the second byte; the narrow
    // ranges after E0, ED, F0 and F4 shut out overlong forms, surrogates and
    // code points past U+10FFFF.
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    const Utf8Char malformed = {REPLACEMENT_CHARACTER, 1, false};
    if (length == 0 || available < length || s[1] < low || s[1] > high) return malformed;
    uint32_t code = lead & (0x7Fu >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((s[k] & 0xC0) != 0x80) return malformed;
        code = (code << 6) | (s[k] & 0x3Fu);
    }
    return {code, length, true};
}

// Whether every byte of the text belongs to a well-formed sequence.
inline bool utf8_well_formed(const std::string& text) {
    for (size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode(text, pos);
        if (!c.well_formed) return false;
        pos += c.length;
    }
    return true;
}

// Appends the code point in the shortest form (no check for surrogates or
// values past U+10FFFF: the program only encodes what it decoded or chose).
inline void utf8_append(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | ((code >> 18) & 0x07)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}
