#include <algorithm>
#include <cstdint>

#include "matrix/kernel_paths.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::matrix {

namespace {

// Column by column; each element is its own ascending-k sum, every product
// rounded to double before it is added, every step checked.
void exactProduct(const Matrix& dMat1, const Matrix& dMat2, Matrix& result) {
    const std::int16_t columns = dMat2.n;
    for (std::int16_t c = 1; c <= columns; c = next16(c)) {
        const std::int16_t rows = dMat1.m;
        for (std::int16_t i = 1; i <= rows; i = next16(i)) {
            double sum = 0.0;
            const std::int16_t inner = dMat1.n;
            for (std::int16_t k = 1; k <= inner; k = next16(k)) {
                const double left = dMat1.Element.get(i, k);
                const double right = dMat2.Element.get(k, c);
                sum = fp::checked([&] { return left * right + sum; });
            }
            result.Element.set(i, c, sum);
        }
    }
}

// Whether the array holds rows 1 to `rows` and columns 1 to `columns`.
bool covers(const ElementArray& array, std::int16_t rows, std::int16_t columns) {
    return array.present() && array.rows().contains(1) && array.rows().contains(rows) && array.columns().contains(1) &&
           array.columns().contains(columns);
}

// The array seen from its element (1, 1).
kernels::ConstView viewFromOne(const ElementArray& array) {
    const auto stride = static_cast<std::ptrdiff_t>(array.rows().count);
    const std::ptrdiff_t offset = (1 - static_cast<std::ptrdiff_t>(array.rows().lowerBound)) +
                                  (1 - static_cast<std::ptrdiff_t>(array.columns().lowerBound)) * stride;
    return {array.data() + offset, stride};
}

bool countFitsFastPath(std::int16_t count) { return count >= 1 && count < 32767; }

// Products of at most this many multiply-add steps are summed straight into
// the result: below it, packing panels for the blocked kernel costs more
// than the arithmetic.
constexpr std::int64_t kLargestDirectProduct = 6 * 6 * 6;

// Each element of C (m x p, starting from zero) summed over k ascending, a
// column of C at a time, products rounded before they are added.
void directProduct(kernels::ConstView a, kernels::ConstView b, kernels::View c, std::ptrdiff_t m, std::ptrdiff_t n,
                   std::ptrdiff_t p) {
    for (std::ptrdiff_t j = 0; j < p; ++j) {
        double* column = c.data + j * c.stride;
        std::fill(column, column + m, 0.0);
        for (std::ptrdiff_t k = 0; k < n; ++k) {
            const double* left = a.data + k * a.stride;
            const double right = b.data[k + j * b.stride];
            for (std::ptrdiff_t i = 0; i < m; ++i) column[i] = left[i] * right + column[i];
        }
    }
}

// The blocked product, when the exact path could raise no error of the loops
// themselves (every element inside its array, no counter reaching 32767).
// Returns false, leaving the result to the exact path, when a precondition
// does not hold or a floating-point flag was raised.
bool fastProduct(const kernels::ProductKernel& kernel, const Matrix& dMat1, const Matrix& dMat2, Matrix& result) {
    const std::int16_t m = dMat1.m, n = dMat1.n, p = dMat2.n;
    if (!countFitsFastPath(m) || !countFitsFastPath(n) || !countFitsFastPath(p)) return false;
    if (!covers(dMat1.Element, m, n) || !covers(dMat2.Element, n, p)) return false;
    const kernels::ConstView a = viewFromOne(dMat1.Element), b = viewFromOne(dMat2.Element);
    const kernels::View c{result.Element.data(), m};
    const bool direct = std::int64_t{m} * n * p <= kLargestDirectProduct;
    kernels::ProductScratch scratch;
    if (!direct && !scratch.reserve(m, n, p)) return false;
    fp::clearStatus();
    if (direct)
        directProduct(a, b, c, m, n, p);
    else
        kernels::blockedProduct(kernel, a, b, c, m, n, p, scratch, kernels::CStart::Zeros);
    return !fp::errorFlagRaisedAfterWriting(c.data);
}

Matrix multiply(const kernels::ProductKernel* kernel, const Matrix& dMat1, const Matrix& dMat2) {
    if (dMat1.n != dMat2.m) raiseMatrixError("MultiplyMatrix", "Matrices not compatable for multiplication!");
    Matrix result = CreateMatrix(dMat1.m, dMat2.n);
    if (kernel == nullptr || !fastProduct(*kernel, dMat1, dMat2, result)) exactProduct(dMat1, dMat2, result);
    return result;
}

} // namespace

Matrix MultiplyMatrix(const Matrix& dMat1, const Matrix& dMat2) {
    return MultiplyMatrixWith(kernels::bestInstructionSet(), dMat1, dMat2);
}

Matrix MultiplyMatrixOn(KernelPath path, const Matrix& dMat1, const Matrix& dMat2) {
    if (path == KernelPath::Fast) return MultiplyMatrix(dMat1, dMat2);
    return multiply(nullptr, dMat1, dMat2);
}

Matrix MultiplyMatrixWith(kernels::InstructionSet set, const Matrix& dMat1, const Matrix& dMat2) {
    return multiply(&kernels::kernelsFor(set).product, dMat1, dMat2);
}

} // namespace numoria::matrix
