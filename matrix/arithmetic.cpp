#include "matrix/index_loops.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "runtime/fp_status.h"

namespace numoria::matrix {

namespace {

bool sameSize(const Matrix& a, const Matrix& b) { return a.m == b.m && a.n == b.n; }

// Element-wise sum or difference into a result made by CreateMatrix.
template <typename Combine>
Matrix combineElementwise(const Matrix& dMat1, const Matrix& dMat2, Combine combine) {
    Matrix result = CreateMatrix(dMat1.m, dMat1.n);
    forEachPosition(result.m, result.n, [&](std::int16_t i, std::int16_t j) {
        const double left = dMat1.Element.get(i, j);
        const double right = dMat2.Element.get(i, j);
        result.Element.set(i, j, fp::checked([&] { return combine(left, right); }));
    });
    return result;
}

} // namespace

Matrix TransposeMatrix(const Matrix& dMat) {
    Matrix result;
    result.Element = ElementArray::withBounds(1, dMat.n, 1, dMat.m);
    result.m = dMat.n;
    result.n = dMat.m;
    // Values move bit for bit: no arithmetic, no status test.
    forEachPosition(dMat.m, dMat.n,
                    [&](std::int16_t i, std::int16_t j) { result.Element.set(j, i, dMat.Element.get(i, j)); });
    return result;
}

Matrix ScaleMatrix(const Matrix& dMat, double Multiplier) {
    Matrix result = dMat;
    forEachPosition(result.m, result.n, [&](std::int16_t i, std::int16_t j) {
        const double element = result.Element.get(i, j);
        result.Element.set(i, j, fp::checked([&] { return Multiplier * element; }));
    });
    return result;
}

Matrix AddMatrix(const Matrix& dMat1, const Matrix& dMat2) {
    if (!sameSize(dMat1, dMat2)) raiseMatrixError("AddMatrix", "Cannot add matrices of different dimentions!");
    return combineElementwise(dMat1, dMat2, [](double a, double b) { return a + b; });
}

Matrix SubMatrix(const Matrix& dMat1, const Matrix& dMat2) {
    if (!sameSize(dMat1, dMat2)) {
        raiseMatrixError("SubMatrix", "Cannot subtract matrices of different dimentions!");
    }
    return combineElementwise(dMat1, dMat2, [](double a, double b) { return a - b; });
}

} // namespace numoria::matrix
