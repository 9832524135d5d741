// Whether bytes are well-formed UTF-8 in the sense the catalogue and the
// shaper care about: every lead byte has all its continuation bytes, and no
// byte is a stray continuation or a 5- or 6-byte lead. Header-only, so the
// build-time catalogue compiler can use it without the text library.
#pragma once
#include <cstddef>
#include <string>

inline bool utf8_well_formed(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 4;
        if (extra == 4 || text.size() - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}
