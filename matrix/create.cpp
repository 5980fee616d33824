#include "matrix/matrix_error.h"
#include "matrix/matrix_operations.h"
#include "runtime/checked_int.h"

namespace numoria::matrix {

namespace {

// Fills row by row from value 0 until the values run out. The value index is
// a 16-bit counter advanced before each store, so taking a 32768th value
// fails with overflow; the column counter also steps after the last column.
void fillRowByRow(Matrix& record, const ValueList& values) {
    const std::size_t valueCount = values.count();
    std::int16_t k = 0;
    const std::int16_t rows = record.m;
    for (std::int16_t i = 1; i <= rows; i = next16(i)) {
        const std::int16_t columns = record.n;
        for (std::int16_t j = 1; j <= columns; j = next16(j)) {
            if (static_cast<std::size_t>(k) >= valueCount) return;
            const double value = values.toDouble(static_cast<std::size_t>(k));
            k = next16(k);
            record.Element.set(i, j, value);
        }
        if (static_cast<std::size_t>(k) >= valueCount) return;
    }
}

} // namespace

Matrix CreateMatrix(std::int16_t m, std::int16_t n, const ValueList& values) {
    if (m == 0 || n == 0) raiseMatrixError("CreateMatrix", "Cannot create matrix with dimention = 0!");
    Matrix record;
    record.Element = ElementArray::withBounds(1, m, 1, n);
    record.n = n;
    record.m = m;
    if (values.count() > 0) fillRowByRow(record, values);
    return record;
}

Matrix CreateMatrix(std::int16_t m, std::int16_t n) { return CreateMatrix(m, n, DoubleValues{}); }

void PrintMatrix(const Matrix&) {}

} // namespace numoria::matrix
