// Message formatting: any row of the catalogue in any language, filled with
// arguments of the types its conversions ask for (the one argument list
// every translation shares), the strings and numbers taken from the input.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "i18n/catalogue.h"
#include "i18n/languages.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

constexpr size_t MAX_ARGUMENTS = 4;  // the most any row asks for ("Day %d   Citizens %d ...")

// The argument kinds of a format, in order: 'i' int, 'f' double, 's' text.
std::vector<char> argument_kinds(const char* format) {
    std::vector<char> kinds;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        while (*p && std::strchr("-+ #0123456789.l", *p)) ++p;
        if (!*p) break;
        if (std::strchr("diuxXc", *p)) kinds.push_back('i');
        else if (std::strchr("feEgG", *p)) kinds.push_back('f');
        else if (*p == 's') kinds.push_back('s');
    }
    return kinds;
}

struct Arguments {
    FuzzInput& in;
    std::vector<std::string> texts;  // owns what %s points at
    int next_int() { return static_cast<int>(static_cast<int8_t>(in.byte()) * 1000003); }
    double next_double() {
        const uint8_t b = in.byte();
        return b == 255 ? NAN : b == 254 ? INFINITY : (b - 128) * 1e6 / 3.0;
    }
    const char* next_text() {
        const size_t length = in.byte() * 8u;
        std::string text;
        for (size_t i = 0; i < length && in.size > 0; ++i) text += static_cast<char>(in.byte());
        texts.push_back(text);
        return texts.back().c_str();
    }
};

template <typename... A>
void fill(const char* format, const std::vector<char>& kinds, size_t k, Arguments& args, A... values) {
    if (k == kinds.size() || sizeof...(A) == MAX_ARGUMENTS) {
        // The trailing 0 is never read: it only spares an argument list of nothing.
        const std::string out = format_text(format, values..., 0);
        if (out.size() > 1023) std::abort();
        return;
    }
    if constexpr (sizeof...(A) < MAX_ARGUMENTS) {
        switch (kinds[k]) {
        case 'i': fill(format, kinds, k + 1, args, values..., args.next_int()); break;
        case 'f': fill(format, kinds, k + 1, args, values..., args.next_double()); break;
        default: fill(format, kinds, k + 1, args, values..., args.next_text()); break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const int row = (in.byte() << 8 | in.byte()) % MESSAGE_COUNT;
    const uint8_t language = in.byte() % LANGUAGE_COUNT;
    const char* format = tr_from(MESSAGES, static_cast<MsgId>(row), language);
    const std::vector<char> kinds = argument_kinds(format);
    if (kinds.size() > MAX_ARGUMENTS) std::abort();  // the harness would need more
    Arguments args{in, {}};
    args.texts.reserve(MAX_ARGUMENTS);
    fill(format, kinds, 0, args);
    return 0;
}
