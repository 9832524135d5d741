// UTF-8 decoding on any bytes: the walk takes every byte exactly once, and a
// character is well-formed exactly when its bytes are the shortest encoding of
// a Unicode scalar value, judged here by encoding, not decoding. Anything else
// is U+FFFD, one byte long.
#include <cstdlib>

#include "tests/fuzz/fuzz_input.h"
#include "text/utf8.h"

namespace {

// Whether `length` bytes at `pos` carry a scalar value and are the very
// bytes utf8_append writes for it.
bool encodes_scalar_value(const std::string& text, size_t pos, size_t length) {
    if (length > text.size() - pos) return false;
    static constexpr unsigned char VALUE_BITS_OF_LEAD[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    uint32_t value = static_cast<unsigned char>(text[pos]) & VALUE_BITS_OF_LEAD[length];
    for (size_t k = 1; k < length; ++k) value = value << 6 | (static_cast<unsigned char>(text[pos + k]) & 0x3Fu);
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    std::string again;
    utf8_append(again, value);
    return again.compare(0, std::string::npos, text, pos, length) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzInput{data, size}.rest();
    bool all_well_formed = true;
    size_t pos = 0;
    while (pos < text.size()) {
        const Utf8Char c = utf8_decode(text, pos);
        if (c.length < 1 || c.length > 4 || c.length > text.size() - pos) std::abort();
        if (c.well_formed) {
            if (!encodes_scalar_value(text, pos, c.length)) std::abort();
        } else {
            if (c.code != REPLACEMENT_CHARACTER || c.length != 1) std::abort();
            for (size_t length = 1; length <= 4; ++length)
                if (encodes_scalar_value(text, pos, length)) std::abort();
            all_well_formed = false;
        }
        pos += c.length;
    }
    if (utf8_well_formed(text) != all_well_formed) std::abort();
    return 0;
}
