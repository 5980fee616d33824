// Picks the fastest kernel this CPU can run, at run time, so that one build
// runs on any x86 machine with SSE2 and uses AVX2 or AVX-512 where present.
#pragma once

#include <vector>

#include "matrix/kernels/product_operands.h"

namespace numoria::matrix::kernels {

enum class InstructionSet { Sse2, Avx2, Avx512 };

const char* nameOf(InstructionSet set);

// The instruction sets this CPU (and its operating system) supports, SSE2 first.
std::vector<InstructionSet> supportedInstructionSets();

ProductKernel productKernelFor(InstructionSet set);

EliminationKernel eliminationKernelFor(InstructionSet set);

// The instruction set the operations use: the widest supported one.
InstructionSet bestInstructionSet();

} // namespace numoria::matrix::kernels
