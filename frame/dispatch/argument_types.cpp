#include "frame/dispatch/argument_types.h"

#include "frame/records/matrix_record_info.h"

namespace numoria::frame {

Variant coercedArgument(const VARIANT& argument, VARTYPE type, std::size_t position) {
    Variant value;
    HRESULT status = VariantCopyInd(value.get(), const_cast<VARIANT*>(&argument));
    if (SUCCEEDED(status)) status = VariantChangeTypeEx(value.get(), value.get(), LOCALE_USER_DEFAULT, 0, type);
    if (status == E_OUTOFMEMORY) throw FrameError(E_OUTOFMEMORY);
    if (FAILED(status)) throw ArgumentError(status == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH, position);
    return value;
}

CoreMatrix matrixArgument(const VARIANT& argument, std::size_t position) {
    if ((argument.vt & ~VT_BYREF) != VT_RECORD || argument.pvRecord == nullptr ||
        !describesMatrix(argument.pRecInfo))
        throw ArgumentError(DISP_E_TYPEMISMATCH, position);
    return coreMatrixOf(*static_cast<const RecordMatrix*>(argument.pvRecord));
}

void ResultType<CoreMatrix>::late(const CoreMatrix& value, VARIANT* result) {
    IRecordInfo* info = matrixRecordInfo();
    void* record = info->RecordCreate();
    if (record == nullptr) throw FrameError(E_OUTOFMEMORY);
    try {
        writeRecord(value, *static_cast<RecordMatrix*>(record));
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
