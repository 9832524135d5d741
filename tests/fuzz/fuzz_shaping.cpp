// Arabic and Devanagari shaping with the UTF-8 decoding in front of it, on
// any bytes: no crash, no read past the text, and valid UTF-8 stays valid.
#include <cstdlib>

#include "tests/fuzz/fuzz_input.h"
#include "text/shaping.h"
#include "text/utf8_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const std::string text = in.rest();
    for (ShapingMode mode : {ShapingMode::None, ShapingMode::Arabic, ShapingMode::Devanagari}) {
        const std::string shaped = shape_text(text, mode);
        if (utf8_well_formed(text) && !utf8_well_formed(shaped)) std::abort();
        if (mode == ShapingMode::None && utf8_well_formed(text) && shaped.size() != text.size()) std::abort();
    }
    return 0;
}
