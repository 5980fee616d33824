#include "host_record.h"

#include <gtest/gtest.h>

namespace wine_tests {

HostRecord::HostRecord(short rows, short columns, const std::vector<double>& values) {
    record_.m = rows;
    record_.n = columns;
    if (values.empty()) return;
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 1}, {static_cast<ULONG>(columns), 1}};
    // Also built on apartment threads, where a throw would end the process: recorded, not thrown.
    record_.Element = SafeArrayCreate(VT_R8, 2, bounds);
    EXPECT_NE(record_.Element, nullptr) << "SafeArrayCreate";
    double* elements = nullptr;
    if (!record_.Element) return;
    const HRESULT accessed = SafeArrayAccessData(record_.Element, reinterpret_cast<void**>(&elements));
    EXPECT_EQ(accessed, S_OK) << "SafeArrayAccessData";
    if (FAILED(accessed)) return;
    // The first subscript varies fastest in memory.
    for (short i = 0; i < rows; ++i)
        for (short j = 0; j < columns; ++j) elements[j * rows + i] = values.at(static_cast<size_t>(i * columns + j));
    SafeArrayUnaccessData(record_.Element);
}

HostRecord::~HostRecord() {
    if (record_.Element) SafeArrayDestroy(record_.Element);
}

void destroyResultArray(Matrix& result, const char* what) {
    if (result.Element == nullptr) return;
    EXPECT_EQ(SafeArrayDestroy(result.Element), S_OK) << what << ": the result's array is left locked";
    result.Element = nullptr;
}

std::vector<double> recordNumbers(const Matrix& record) {
    std::vector<double> numbers = {static_cast<double>(record.m), static_cast<double>(record.n)};
    SAFEARRAY* array = record.Element;
    if (!array) return numbers;
    if (SafeArrayGetDim(array) != 2) {
        numbers.push_back(-1.0 * SafeArrayGetDim(array));
        return numbers;
    }
    // Also read on apartment threads, where a throw would end the process: recorded, not thrown.
    LONG lower[2] = {}, upper[2] = {};
    for (UINT dimension = 0; dimension < 2; ++dimension) {
        EXPECT_EQ(SafeArrayGetLBound(array, dimension + 1, &lower[dimension]), S_OK) << "SafeArrayGetLBound";
        EXPECT_EQ(SafeArrayGetUBound(array, dimension + 1, &upper[dimension]), S_OK) << "SafeArrayGetUBound";
        numbers.push_back(lower[dimension]);
        numbers.push_back(upper[dimension] - lower[dimension] + 1);
    }
    for (LONG i = lower[0]; i <= upper[0]; ++i)
        for (LONG j = lower[1]; j <= upper[1]; ++j) {
            LONG at[2] = {i, j};
            double value = 0;
            EXPECT_EQ(SafeArrayGetElement(array, at, &value), S_OK) << "SafeArrayGetElement";
            numbers.push_back(value);
        }
    return numbers;
}

} // namespace wine_tests
