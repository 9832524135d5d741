// Arabic and Devanagari shaping with the UTF-8 decoding in front of it, on any bytes: no crash, no read past the
// text, and valid UTF-8 stays valid (and of the same length when nothing is shaped).
#include <cstdlib>

#include "tests/fuzz/fuzz_input.h"
#include "text/shaping.h"
#include "text/utf8_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzInput{data, size}.rest();
    const bool valid = utf8_well_formed(text);
    for (ShapingMode mode : {ShapingMode::None, ShapingMode::Arabic, ShapingMode::Devanagari}) {
        const std::string shaped = shape_text(text, mode);
        if (valid && (!utf8_well_formed(shaped) || (mode == ShapingMode::None && shaped.size() != text.size())))
            std::abort();
    }
    return 0;
}
