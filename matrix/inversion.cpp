#include <cmath>

#include "matrix/index_loops.h"
#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "runtime/checked_int.h"
#include "runtime/fp_status.h"

namespace numoria::matrix {

namespace {

double reciprocal(double value) {
    return fp::checked([&] { return 1.0 / value; });
}

// (-1)^(i + j) as a double power of -1, taken as a 16-bit integer: +1 or -1.
std::int16_t cofactorSign(std::int16_t i, std::int16_t j) {
    const std::int16_t exponent = addChecked<std::int16_t>(i, j);
    return static_cast<std::int16_t>(std::pow(-1.0, exponent));
}

// The adjugate divided by the determinant: cofactors from the determinants of
// the minors, transposed, then scaled by the reciprocal of the determinant.
Matrix invertByAdjugate(const Matrix& dMat, double determinant) {
    const std::int16_t n = dMat.n;
    Matrix cofactors = CreateMatrix(n, n);
    forEachPosition(n, n, [&](std::int16_t i, std::int16_t j) {
        const Matrix minor = SubMat(dMat, i, j);
        const double sign = cofactorSign(i, j);
        const double minorDeterminant = Determinant(minor);
        cofactors.Element.set(i, j, fp::checked([&] { return sign * minorDeterminant; }));
    });
    const Matrix transposed = TransposeMatrix(cofactors);
    return ScaleMatrix(transposed, reciprocal(determinant));
}

} // namespace

Matrix InvertMatrix(const Matrix& dMat) {
    if (dMat.m != dMat.n) raiseMatrixError("InvertMatrix", "Cannot invert a non-square matrix!");
    const ElementArray& a = dMat.Element;
    if (dMat.n == 1) return CreateMatrix(1, 1, DoubleValues{reciprocal(a.get(1, 1))});

    const double d = Determinant(dMat);
    if (d == 0.0) raiseMatrixError("InvertMatrix", "Cannot invert matrix with Determinant = 0!");

    if (dMat.n == 2) {
        const double a22 = a.get(2, 2), a12 = a.get(1, 2), a21 = a.get(2, 1), a11 = a.get(1, 1);
        const Matrix adjugate = CreateMatrix(2, 2, DoubleValues{a22, -a12, -a21, a11});
        return ScaleMatrix(adjugate, reciprocal(d));
    }
    return invertByAdjugate(dMat, d);
}

} // namespace numoria::matrix
