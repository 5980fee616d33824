// Matrix records as a host holds them: built from rows of values with
// bounds from 1, owned and destroyed by the host, and read back as one flat
// list of numbers that two results can be compared by.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "numori10.h"

namespace wine_tests {

class HostRecord {
public:
    // `values` row by row; an empty list with nonzero sizes gives a record
    // whose array is absent.
    HostRecord(short rows, short columns, const std::vector<double>& values);
    HostRecord() = default; // an empty record to receive a result
    HostRecord(const HostRecord&) = delete;
    HostRecord& operator=(const HostRecord&) = delete;
    ~HostRecord();

    Matrix* get() { return &record_; }
    const Matrix& value() const { return record_; }

private:
    Matrix record_{};
};

// Destroys the array of a result record the library handed back, if it has
// one, and checks that the library left it unlocked (a locked array refuses
// to be destroyed). Records the failure rather than throwing, so that it
// serves apartment threads and unmasked floating-point states too.
void destroyResultArray(Matrix& result, const char* what);

// m, n, then for each dimension its lower bound and element count, then the
// elements row by row; just m and n when the array is absent.
std::vector<double> recordNumbers(const Matrix& record);

} // namespace wine_tests
