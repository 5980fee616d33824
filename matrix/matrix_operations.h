// The operations of the matrix class. Records are only read; every result is
// a new record that owns its array. Errors leave as RuntimeError: the matrix
// error (1000) or a numbered runtime error, and an error raised by an inner
// operation (CreateMatrix making a result, Determinant inside InvertMatrix)
// reaches the caller unchanged.
#pragma once

#include <cstdint>

#include "matrix/matrix.h"
#include "matrix/value_list.h"

namespace numoria::matrix {

// Construction (create.cpp).
Matrix CreateMatrix(std::int16_t m, std::int16_t n, const ValueList& values);
Matrix CreateMatrix(std::int16_t m, std::int16_t n);
void PrintMatrix(const Matrix& dMat);

// Arithmetic (arithmetic.cpp).
Matrix TransposeMatrix(const Matrix& dMat);
Matrix ScaleMatrix(const Matrix& dMat, double Multiplier);
Matrix AddMatrix(const Matrix& dMat1, const Matrix& dMat2);
Matrix SubMatrix(const Matrix& dMat1, const Matrix& dMat2);
Matrix MultiplyMatrix(const Matrix& dMat1, const Matrix& dMat2);

// Determinant (determinant.cpp) and inversion (inversion.cpp).
double Determinant(const Matrix& dMat);
Matrix InvertMatrix(const Matrix& dMat);

// Row, column and block operations (block_operations.cpp).
Matrix InsertMatrix(const Matrix& dMatDest, const Matrix& dMatSrc, std::int16_t mPos, std::int16_t nPos);
Matrix CombineMatrix(const Matrix& dMatDest, const Matrix& dMatSrc, std::int16_t mPos, std::int16_t nPos);
Matrix SwapRow(const Matrix& dMat, std::int16_t RowA, std::int16_t RowB);
Matrix SwapCol(const Matrix& dMat, std::int16_t ColA, std::int16_t ColB);
Matrix SubMat(const Matrix& dMat, std::int16_t eRow, std::int16_t eCol);

} // namespace numoria::matrix
