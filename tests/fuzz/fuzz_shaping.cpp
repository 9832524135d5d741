// Arabic and Devanagari shaping with the UTF-8 decoding in front of it, on any
// bytes: no crash, no read past the text; what the shaper writes is always
// well-formed (a malformed byte comes out as U+FFFD), and a text passed through
// unshaped keeps its bytes.
#include <cstdlib>

#include "tests/fuzz/fuzz_input.h"
#include "text/shaping.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzInput{data, size}.rest();
    if (shape_text(text, ShapingMode::None) != text) std::abort();
    for (ShapingMode mode : {ShapingMode::Arabic, ShapingMode::Devanagari})
        if (!utf8_well_formed(shape_text(text, mode))) std::abort();
    return 0;
}
