#include "host_matrix.h"

#include "bench_session.h"

namespace numoria_bench {

namespace {

// Locks a record's array for direct reading or writing.
class ElementData {
public:
    explicit ElementData(SAFEARRAY* array) : array_(array) {
        check(SafeArrayAccessData(array_, reinterpret_cast<void**>(&elements_)), "SafeArrayAccessData");
    }
    ElementData(const ElementData&) = delete;
    ElementData& operator=(const ElementData&) = delete;
    ~ElementData() { SafeArrayUnaccessData(array_); }
    double* elements() const { return elements_; }

private:
    SAFEARRAY* array_;
    double* elements_ = nullptr;
};

// The first subscript (the row) varies fastest in the array's memory.
SIZE_T offsetOf(short rows, short row, short column) {
    return static_cast<SIZE_T>(column - 1) * static_cast<SIZE_T>(rows) + static_cast<SIZE_T>(row - 1);
}

struct Bounds {
    LONG lower[2] = {0, 0};
    LONG upper[2] = {-1, -1};
    bool operator==(const Bounds&) const = default;
};

Bounds boundsOf(SAFEARRAY* array) {
    Bounds bounds;
    if (array == nullptr || SafeArrayGetDim(array) != 2) return bounds;
    for (UINT dimension = 1; dimension <= 2; ++dimension) {
        check(SafeArrayGetLBound(array, dimension, &bounds.lower[dimension - 1]), "SafeArrayGetLBound");
        check(SafeArrayGetUBound(array, dimension, &bounds.upper[dimension - 1]), "SafeArrayGetUBound");
    }
    return bounds;
}

} // namespace

template <class ElementOf>
HostMatrix::HostMatrix(short rows, short columns, ElementOf elementOf) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 1}, {static_cast<ULONG>(columns), 1}};
    record_.Element = SafeArrayCreate(VT_R8, 2, bounds);
    if (record_.Element == nullptr) throw BenchSetupError("SafeArrayCreate", E_OUTOFMEMORY);
    record_.m = rows;
    record_.n = columns;
    ElementData data(record_.Element);
    for (short column = 1; column <= columns; ++column)
        for (short row = 1; row <= rows; ++row) data.elements()[offsetOf(rows, row, column)] = elementOf(row, column);
}

HostMatrix::HostMatrix(short rows, short columns)
        : HostMatrix(rows, columns, [columns](short row, short column) {
              return row == column ? 2.0 * columns : static_cast<double>((row * 7 + column * 3) % 11 - 5);
          }) {}

HostMatrix HostMatrix::product(const Matrix& a, const Matrix& b) {
    return HostMatrix(a.m, b.n, [&](short row, short column) {
        double sum = 0;
        for (short k = 1; k <= a.n; ++k) sum += elementAt(a, row, k) * elementAt(b, k, column);
        return sum;
    });
}

void HostMatrix::clear() {
    if (record_.Element != nullptr) SafeArrayDestroy(record_.Element);
    record_ = Matrix{};
}

double elementAt(const Matrix& record, short row, short column) {
    LONG at[2] = {row, column};
    double value = 0;
    check(SafeArrayGetElement(record.Element, at, &value), "SafeArrayGetElement");
    return value;
}

bool sameMatrix(const Matrix& a, const Matrix& b) {
    if (a.m != b.m || a.n != b.n || boundsOf(a.Element) != boundsOf(b.Element)) return false;
    if (a.Element == nullptr || b.Element == nullptr) return a.Element == b.Element;
    for (short row = 1; row <= a.m; ++row)
        for (short column = 1; column <= a.n; ++column)
            if (elementAt(a, row, column) != elementAt(b, row, column)) return false;
    return true;
}

} // namespace numoria_bench
