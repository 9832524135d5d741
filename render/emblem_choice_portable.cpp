// Which kernels the emblem painter runs where the build has only the portable
// ones (a CPU other than x86-64): those.
#include "render/emblem_kernels.h"

const EmblemKernels& emblem_kernels() {
    static const EmblemKernels kernels = portable_kernels();
    return kernels;
}

EmblemLevel emblem_cap_level(EmblemLevel) { return EmblemLevel::PORTABLE; }
