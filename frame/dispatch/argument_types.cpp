#include "frame/dispatch/argument_types.h"

#include <utility>

#include "frame/records/matrix_record_info.h"

namespace numoria::frame {

Variant coercedArgument(const VARIANT& argument, VARTYPE type, std::size_t position) {
    // A reference to Empty or Null is no valid type at all.
    if ((argument.vt & VT_BYREF) != 0 && (argument.vt & VT_TYPEMASK) <= VT_NULL)
        throw ArgumentError(DISP_E_BADVARTYPE, position);
    if (pointsAtNothing(argument)) throw ArgumentError(DISP_E_TYPEMISMATCH, position);
    // The dispatcher has followed one VARIANT reference already; like the
    // platform's coercion, a reference to another reference is refused.
    if (argument.vt == (VT_BYREF | VT_VARIANT)) throw ArgumentError(E_INVALIDARG, position);
    Variant value;
    const HRESULT status =
        VariantChangeTypeEx(value.get(), const_cast<VARIANT*>(&argument), LOCALE_USER_DEFAULT, 0, type);
    if (status == E_OUTOFMEMORY) throw FrameError(E_OUTOFMEMORY);
    // The conversion's own status (type mismatch, overflow, bad variant
    // type, ...), as the platform's dispatch reports it.
    if (FAILED(status)) throw ArgumentError(status, position);
    return value;
}

BorrowedMatrix matrixArgument(const VARIANT& argument, std::size_t position) {
    if ((argument.vt & ~VT_BYREF) != VT_RECORD || argument.pvRecord == nullptr ||
        !describesMatrix(argument.pRecInfo))
        throw ArgumentError(DISP_E_TYPEMISMATCH, position);
    try {
        return BorrowedMatrix(*static_cast<const RecordMatrix*>(argument.pvRecord));
    } catch (const FrameError& error) {
        // An Element that is no two-dimensional array of doubles makes the
        // argument one of the wrong type, reported with its position.
        if (error.status() == DISP_E_TYPEMISMATCH) throw ArgumentError(DISP_E_TYPEMISMATCH, position);
        throw;
    }
}

void ResultType<CoreMatrix>::late(CoreMatrix&& value, VARIANT* result) {
    IRecordInfo* info = matrixRecordInfo();
    void* record = info->RecordCreate();
    if (record == nullptr) throw FrameError(E_OUTOFMEMORY);
    try {
        writeRecord(std::move(value), *static_cast<RecordMatrix*>(record));
    } catch (...) {
        info->RecordDestroy(record);
        throw;
    }
    info->AddRef();
    result->vt = VT_RECORD;
    result->pvRecord = record;
    result->pRecInfo = info;
}

} // namespace numoria::frame
