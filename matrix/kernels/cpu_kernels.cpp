#include "matrix/kernels/cpu_kernels.h"

namespace numoria::matrix::kernels {

namespace {

// Indexed by InstructionSet, like kBlocking.
const KernelSet kKernelSets[] = {
    {{blockingOf(InstructionSet::Sse2), tileProduct_sse2}, eliminationUpdate_sse2},
    {{blockingOf(InstructionSet::Avx2), tileProduct_avx2}, eliminationUpdate_avx2},
    {{blockingOf(InstructionSet::Avx512), tileProduct_avx512}, eliminationUpdate_avx512},
};

} // namespace

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
    if (__builtin_cpu_supports("avx512f")) sets.push_back(InstructionSet::Avx512);
#endif
    return sets;
}

const KernelSet& kernelsFor(InstructionSet set) { return kKernelSets[static_cast<int>(set)]; }

InstructionSet bestInstructionSet() {
    static const InstructionSet best = supportedInstructionSets().back();
    return best;
}

} // namespace numoria::matrix::kernels
