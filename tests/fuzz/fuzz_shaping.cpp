// Arabic and Devanagari shaping with the UTF-8 decoding in front of it, on
// any bytes: no crash, no read past the text, and valid UTF-8 stays valid.
#include <cstdlib>

#include "tests/fuzz/fuzz_input.h"
#include "text/shaping.h"

namespace {

bool valid_utf8(const std::string& text) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const std::string text = in.rest();
    for (ShapingMode mode : {ShapingMode::None, ShapingMode::Arabic, ShapingMode::Devanagari}) {
        const std::string shaped = shape_text(text, mode);
        if (valid_utf8(text) && !valid_utf8(shaped)) std::abort();
        if (mode == ShapingMode::None && valid_utf8(text) && shaped.size() != text.size()) std::abort();
    }
    return 0;
}
