// The catalogue compiler's PO reader on any file: it reads the entries or
// reports the fault; it never crashes. The compiler is built into this
// target with its exit on a fault turned into an exception.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
struct PoFault {};
}  // namespace

#define PO_COMPILER_FAIL_THROWS 1
#define main po_compiler_main
#include "i18n/po_compiler.cpp"
#undef main

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    struct Scratch {
        std::string path;
        ~Scratch() { unlink(path.c_str()); }
    };
    static const Scratch scratch = [] {
        // Memory-backed where there is /dev/shm: a file is written per input.
        std::string name = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        name += "/torvanel-fuzz-po-XXXXXX";
        close(mkstemp(name.data()));
        return Scratch{name};
    }();
    const std::string& path = scratch.path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    try {
        const PoFile po = read_po(path);
        for (const PoEntry& entry : po.entries) {
            bool stray = false;
            conversions(entry.id, &stray);
            conversions(entry.str, &stray);
        }
        index_rows(po);
    } catch (const PoFault&) {
    }
    return 0;
}
