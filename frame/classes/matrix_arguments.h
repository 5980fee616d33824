// The application's own types at the automation boundary, beside the
// automation types of frame/dispatch/argument_types.h: the Matrix record
// (read in place, results allocated as the host's SAFEARRAY); CreateMatrix's
// variable list of values comes from frame/dispatch/value_list_argument.h.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>

#include "frame/dispatch/argument_types.h"
#include "frame/dispatch/value_list_argument.h"
#include "frame/records/matrix_record.h"
#include "frame/records/safe_array_storage.h"
#include "matrix/element_storage.h"
#include "matrix/value_list.h"

namespace numoria::frame {

// The record a VT_RECORD (or VT_RECORD | VT_BYREF) argument holds, read in place.
BorrowedMatrix matrixArgument(const VARIANT& argument, std::size_t position);

// Records are read in place, the host's array locked until the handler returns.
template <>
struct Argument<const CoreMatrix&> {
    using Holder = BorrowedMatrix;
    static constexpr VARTYPE type = VT_RECORD;
    static Holder late(const VARIANT& value, std::size_t position) { return matrixArgument(value, position); }
    static Holder early(const RecordMatrix* value) { return Holder(dereferenced(value)); }
};

template <>
struct ResultType<CoreMatrix> {
    static constexpr VARTYPE type = VT_RECORD;
    static void late(CoreMatrix&& value, VARIANT* result);
    static void early(CoreMatrix&& value, RecordMatrix* result) { writeRecord(std::move(value), *result); }
};

// A handler with a record result has its arrays allocated as SAFEARRAYs, so
// that the result's array goes to the host as it is, without a copy.
template <>
struct ResultAllocation<CoreMatrix> {
    matrix::ScopedStorageProvider provider{safeArrayStorage()};
};

} // namespace numoria::frame
