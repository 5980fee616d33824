// Plain views of column-major operands for the fast matrix kernels: element
// (i, k), counted from 0, is at data[i + k * stride].
#pragma once

#include <cstddef>

namespace numoria::matrix::kernels {

struct ConstView {
    const double* data;
    std::ptrdiff_t stride;
};

struct View {
    double* data;
    std::ptrdiff_t stride;
};

} // namespace numoria::matrix::kernels
