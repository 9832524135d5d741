// Reading a fuzzer's bytes: a few leading choices (0 once the input is used up), then the rest as text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzInput {
    const uint8_t* data;
    size_t size;
    uint8_t byte() { return size == 0 ? 0 : (--size, *data++); }
    std::string rest() { std::string t(reinterpret_cast<const char*>(data), size); data += size, size = 0; return t; }
};
