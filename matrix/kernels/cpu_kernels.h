// Picks the fastest kernels this CPU can run, at run time, so that one build
// runs on any x86 machine with SSE2 and uses AVX2 or AVX-512 where present.
#pragma once

#include <vector>

#include "matrix/kernels/blocked_product.h"
#include "matrix/kernels/blocking.h"
#include "matrix/kernels/micro_kernels.h"

namespace numoria::matrix::kernels {

const char* nameOf(InstructionSet set);

// The instruction sets this CPU (and its operating system) supports, SSE2 first.
std::vector<InstructionSet> supportedInstructionSets();

// What one instruction set brings: its product tile with its blocking, and
// its elimination update.
struct KernelSet {
    ProductKernel product;
    EliminationKernel eliminate;
};

const KernelSet& kernelsFor(InstructionSet set);

// The instruction set the operations use: the widest supported one.
InstructionSet bestInstructionSet();

} // namespace numoria::matrix::kernels
