// Which kernels an x86-64 build of the emblem painter runs: SSE2 is part of
// every x86-64 CPU, AVX2 is asked of the CPU once, on first use.
#include <algorithm>

#include "render/emblem_kernels.h"

namespace {

// Whether the C library's hypotf is the double square root of the double sum
// of squares (glibc's is; the build finds out), which the SSE2 and AVX2 suns
// compute in lanes. With another library the sun calls it sample by sample,
// as the portable kernels do, so that the bytes stay the same.
constexpr bool HYPOT_IN_DOUBLE = TORVANEL_HYPOT_IN_DOUBLE != 0;

EmblemLevel cpu_level() {
    static const EmblemLevel level = __builtin_cpu_supports("avx2") ? EmblemLevel::AVX2 : EmblemLevel::SSE2;
    return level;
}

EmblemKernels kernels_at(EmblemLevel level) {
    EmblemKernels kernels = portable_kernels();
    if (level == EmblemLevel::AVX2) kernels = avx2_kernels();
    if (level == EmblemLevel::SSE2) kernels = sse2_kernels();
    if (!HYPOT_IN_DOUBLE) kernels.sun_run = portable_kernels().sun_run;
    return kernels;
}

EmblemKernels& chosen() {
    static EmblemKernels kernels = kernels_at(cpu_level());
    return kernels;
}

}  // namespace

const EmblemKernels& emblem_kernels() { return chosen(); }

EmblemLevel emblem_cap_level(EmblemLevel highest) {
    chosen() = kernels_at(std::min(highest, cpu_level()));
    return chosen().level;
}
