#include "frame/classes/matrix_arguments.h"

#include <utility>

#include "frame/records/matrix_record_info.h"

namespace numoria::frame {

BorrowedMatrix matrixArgument(const VARIANT& argument, std::size_t position) {
    if ((argument.vt & ~VT_BYREF) != VT_RECORD || argument.pvRecord == nullptr || !describesMatrix(argument.pRecInfo))
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
