// Message formatting: any row of the catalogue in any language, filled with arguments of the types its conversions
// ask for (the one argument list every translation shares), the strings and numbers taken from the input.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "tests/fuzz/fuzz_input.h"

constexpr size_t MAX_ARGUMENTS = 4;  // the most any row asks for ("Day %d   Citizens %d ...")

// The letters of a format's conversions that take an argument, in order.
static std::string argument_kinds(const char* format) {
    std::string kinds;
    for (const char* p = std::strchr(format, '%'); p != nullptr; p = std::strchr(p + 1, '%')) {
        p += 1 + std::strspn(p + 1, "-+ #0123456789.l");
        if (!*p) break;
        if (std::strchr("diuxXcfeEgGs", *p)) kinds += *p;
    }
    return kinds;
}

struct Arguments {  // the next int, double or text argument, from the input
    FuzzInput& in;
    std::deque<std::string> texts;  // owns what %s points at, never moving it
    int i() { return static_cast<int>(static_cast<int8_t>(in.byte()) * 1000003); }
    double f() {
        const uint8_t b = in.byte();
        if (b == 255) return NAN;
        if (b == 254) return INFINITY;
        return (b - 128) * 1e6 / 3.0;
    }
    const char* s() {
        std::string& text = texts.emplace_back();
        for (size_t n = in.byte() * 8u; n > 0 && in.size > 0; --n) text += static_cast<char>(in.byte());
        return text.c_str();
    }
};

template <typename... A>
void fill(const char* format, const std::string& kinds, Arguments& args, A... values) {
    constexpr size_t k = sizeof...(A);
    if constexpr (k < MAX_ARGUMENTS) {
        const char kind = k < kinds.size() ? kinds[k] : '\0';
        if (kind == 's') return fill(format, kinds, args, values..., args.s());
        if (kind != '\0' && std::strchr("feEgG", kind)) return fill(format, kinds, args, values..., args.f());
        if (kind != '\0') return fill(format, kinds, args, values..., args.i());
    }
    // The trailing 0 is never read: it only spares an argument list of nothing.
    if (format_text(format, values..., 0).size() > 1023) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const int high = in.byte();  // read apart: the operands of | may be evaluated in either order
    const int low = in.byte();
    const int row = (high << 8 | low) % MESSAGE_COUNT;
    const uint8_t language = static_cast<uint8_t>(in.byte() % LANGUAGE_COUNT);
    const char* format = tr_from(MESSAGES, static_cast<MsgId>(row), language);
    const std::string kinds = argument_kinds(format);
    if (kinds.size() > MAX_ARGUMENTS) std::abort();  // the harness would need more
    Arguments args{in, {}};
    fill(format, kinds, args);
    return 0;
}
