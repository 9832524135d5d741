// Reading a fuzzer's bytes: a few leading choices, then the rest as text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzInput {
    const uint8_t* data;
    size_t size;
    // The next byte, or 0 once the input is used up.
    uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    // Everything not yet taken.
    std::string rest() {
        std::string text(reinterpret_cast<const char*>(data), size);
        data += size, size = 0;
        return text;
    }
};
