#include "matrix/kernels/cpu_kernels.h"

namespace numoria::matrix::kernels {

const char* nameOf(InstructionSet set) {
    switch (set) {
    case InstructionSet::Sse2: return "SSE2";
    case InstructionSet::Avx2: return "AVX2";
    case InstructionSet::Avx512: return "AVX-512";
    }
    return "?";
}

std::vector<InstructionSet> supportedInstructionSets() {
    std::vector<InstructionSet> sets{InstructionSet::Sse2};
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) sets.push_back(InstructionSet::Avx2);
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl")) sets.push_back(InstructionSet::Avx512);
#endif
    return sets;
}

ProductKernel productKernelFor(InstructionSet set) {
    switch (set) {
    case InstructionSet::Avx512: return blockedProduct_avx512;
    case InstructionSet::Avx2: return blockedProduct_avx2;
    case InstructionSet::Sse2: break;
    }
    return blockedProduct_sse2;
}

EliminationKernel eliminationKernelFor(InstructionSet set) {
    switch (set) {
    case InstructionSet::Avx512: return eliminationUpdate_avx512;
    case InstructionSet::Avx2: return eliminationUpdate_avx2;
    case InstructionSet::Sse2: break;
    }
    return eliminationUpdate_sse2;
}

InstructionSet bestInstructionSet() {
    static const InstructionSet best = supportedInstructionSets().back();
    return best;
}

} // namespace numoria::matrix::kernels
