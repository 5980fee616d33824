#include "host_record.h"

namespace wine_tests {

HostRecord::HostRecord(short rows, short columns, const std::vector<double>& values) {
    record_.m = rows;
    record_.n = columns;
    if (values.empty()) return;
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 1}, {static_cast<ULONG>(columns), 1}};
    record_.Element = SafeArrayCreate(VT_R8, 2, bounds);
    double* elements = nullptr;
    if (!record_.Element || FAILED(SafeArrayAccessData(record_.Element, reinterpret_cast<void**>(&elements)))) return;
    // The first subscript varies fastest in memory.
    for (short i = 0; i < rows; ++i)
        for (short j = 0; j < columns; ++j) elements[j * rows + i] = values.at(static_cast<size_t>(i * columns + j));
    SafeArrayUnaccessData(record_.Element);
}

HostRecord::~HostRecord() {
    if (record_.Element) SafeArrayDestroy(record_.Element);
}

std::vector<double> recordNumbers(const Matrix& record) {
    std::vector<double> numbers = {static_cast<double>(record.m), static_cast<double>(record.n)};
    SAFEARRAY* array = record.Element;
    if (!array) return numbers;
    if (SafeArrayGetDim(array) != 2) {
        numbers.push_back(-1.0 * SafeArrayGetDim(array));
        return numbers;
    }
    LONG lower[2] = {}, upper[2] = {};
    for (UINT dimension = 0; dimension < 2; ++dimension) {
        SafeArrayGetLBound(array, dimension + 1, &lower[dimension]);
        SafeArrayGetUBound(array, dimension + 1, &upper[dimension]);
        numbers.push_back(lower[dimension]);
        numbers.push_back(upper[dimension] - lower[dimension] + 1);
    }
    for (LONG i = lower[0]; i <= upper[0]; ++i)
        for (LONG j = lower[1]; j <= upper[1]; ++j) {
            LONG at[2] = {i, j};
            double value = 0;
            SafeArrayGetElement(array, at, &value);
            numbers.push_back(value);
        }
    return numbers;
}

} // namespace wine_tests
