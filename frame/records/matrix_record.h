// The Matrix record as it crosses the automation boundary: m, n and a
// two-dimensional SAFEARRAY of doubles (or none) — and the core's record.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "frame/com/safe_array.h"
#include "matrix/matrix.h"
#include "numori10.h"

namespace numoria::frame {

using CoreMatrix = numoria::matrix::Matrix;
using RecordMatrix = ::Matrix;

// The record type's identifier, as the type library declares it.
inline constexpr GUID kMatrixRecordGuid = {
    0x624943a9, 0x50c8, 0x49dd, {0xbc, 0xa0, 0xc6, 0x35, 0x86, 0x76, 0x6c, 0x14}};

// A host's record read in place: for as long as this object lives, the
// host's array stays locked and the core's record reads its elements where
// they are (a copy of that record owns a copy of them). An Element that is
// not a two-dimensional array of 8-byte doubles fails with
// DISP_E_TYPEMISMATCH; a null array is absent.
class BorrowedMatrix {
public:
    explicit BorrowedMatrix(const RecordMatrix& record);

    operator const CoreMatrix&() const noexcept { return matrix_; }

private:
    SafeArrayData lock_; // declared first: released after the view of its data
    CoreMatrix matrix_;
};

// Writes a new record into uninitialised storage; the record owns its array.
// An array allocated as a SAFEARRAY (safe_array_storage.h) is handed over as
// it is, any other is copied into a new one.
void writeRecord(CoreMatrix&& matrix, RecordMatrix& record);

// Frees the array a record owns and leaves it absent.
void clearRecord(RecordMatrix& record) noexcept;

// Deep copy of a record into uninitialised storage.
HRESULT copyRecord(const RecordMatrix& source, RecordMatrix& destination) noexcept;

} // namespace numoria::frame
