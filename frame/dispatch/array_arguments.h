// Two-dimensional arrays at the automation boundary, for hosts that cannot
// hold a Matrix record: an argument that is (or whose object's default or
// Value property yields) a 2-D array of doubles or of VARIANTs becomes the
// core's matrix, and a matrix result becomes a new 2-D array of VARIANT
// doubles. ArrayOperation<&core::Operation> is the array form of a matrix
// operation: the same function, with these types at its boundary.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>

#include "frame/com/safe_array.h"
#include "frame/com/variant.h"
#include "frame/dispatch/argument_types.h"
#include "matrix/matrix.h"

namespace numoria::frame {

// The largest row or column count of a matrix: its counts are 16-bit.
inline constexpr ULONG kMostArrayDimension = 32767;

// An array argument as the core's matrix: m rows, n columns and the elements
// at (1 To m, 1 To n), whatever lower bounds the host's array has; position
// 1 is always the array's first row or column. An array of doubles is read
// in place, locked for the object's lifetime; an array of VARIANTs is
// converted element by element with the runtime's coercion in the user's
// locale. Raises the runtime's errors: type mismatch (13) for anything but a
// two-dimensional array of doubles or VARIANTs, and for an element that does
// not convert or is an object or array; invalid use of Null (94) for a Null
// argument or element; invalid procedure call (5) for an empty array;
// overflow (6) for more than 32767 rows or columns, or an element beyond the
// double range.
class ArrayMatrix {
public:
    explicit ArrayMatrix(const VARIANT& argument);

    operator const matrix::Matrix&() const noexcept { return matrix_; }

private:
    Variant propertyValue_; // what an object argument's property gave, kept while it is read
    SafeArrayData lock_;    // declared before the view of the data it locks
    matrix::Matrix matrix_;
};

template <>
struct Argument<const ArrayMatrix&> {
    using Holder = ArrayMatrix;
    static constexpr VARTYPE type = VT_VARIANT;
    static Holder late(const VARIANT& value, std::size_t) { return Holder(value); }
    static Holder early(VARIANT value) { return Holder(value); }
};

// A matrix result handed back as an array.
struct MatrixArray {
    explicit MatrixArray(matrix::Matrix&& result) : matrix(std::move(result)) {}
    matrix::Matrix matrix;
};

// A new two-dimensional array of VARIANT, each element a double, with lower
// bounds 1 and the result's element counts.
SafeArray variantArrayOf(const matrix::Matrix& result);

template <>
struct ResultType<MatrixArray> {
    static constexpr VARTYPE type = VT_VARIANT;
    static void late(const MatrixArray& value, VARIANT* result) { early(value, result); }
    static void early(const MatrixArray& value, VARIANT* result) {
        result->parray = variantArrayOf(value.matrix).release();
        result->vt = VT_ARRAY | VT_VARIANT;
    }
};

// The array form of each type of a matrix operation's signature.
template <class T>
struct ArrayForm {
    using type = T;
};
template <>
struct ArrayForm<const matrix::Matrix&> {
    using type = const ArrayMatrix&;
};
template <>
struct ArrayForm<matrix::Matrix> {
    using type = MatrixArray;
};

template <auto Operation>
struct ArrayOperation;

template <class R, class... A, R (*Operation)(A...)>
struct ArrayOperation<Operation> {
    static typename ArrayForm<R>::type call(typename ArrayForm<A>::type... arguments) {
        return typename ArrayForm<R>::type(Operation(arguments...));
    }
};

} // namespace numoria::frame
