// The catalogue compiler's PO reader on any file: it reads the entries or reports the fault; it never crashes. The
// compiler is built into this target with its exit on a fault turned into an exception.
#include <unistd.h>

struct PoFault {};

#define PO_COMPILER_FAIL_THROWS 1
#define main po_compiler_main
#include "tools/po_compiler.cpp"
#undef main

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Each input is written to a file removed at once, read through its descriptor's name: no file is left behind,
    // and it is in memory where there is /dev/shm.
    static const int fd = [] {
        std::string name = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        name += "/torvanel-fuzz-po-XXXXXX";
        const int fd = mkstemp(name.data());
        unlink(name.c_str());
        return fd;
    }();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    try {
        const PoFile po = read_po(path);
        bool stray = false;
        for (const PoEntry& entry : po.entries) {
            conversions(entry.id, &stray);
            conversions(entry.str, &stray);
        }
        index_rows(po);
    } catch (const PoFault&) {}
    return 0;
}
