#include "frame/records/matrix_record.h"

#include <cstring>
#include <utility>

#include "frame/com/safe_array.h"
#include "frame/errors/frame_error.h"
#include "frame/records/safe_array_storage.h"

namespace numoria::frame {

namespace {

constexpr USHORT kReferenceFeatures = FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT | FADF_RECORD;

void checkDoubleArray(SAFEARRAY* array) {
    VARTYPE type = VT_EMPTY;
    const bool typed = SUCCEEDED(SafeArrayGetVartype(array, &type)) && type != VT_EMPTY;
    if (SafeArrayGetDim(array) != 2 || SafeArrayGetElemsize(array) != sizeof(double) || (typed && type != VT_R8) ||
        (array->fFeatures & kReferenceFeatures) != 0)
        throw FrameError(DISP_E_TYPEMISMATCH, u"Element is not a two-dimensional array of doubles");
}

// The host's array, checked and locked; nothing when the array is absent.
SafeArrayData lockedElements(SAFEARRAY* array) {
    if (array == nullptr) return {};
    checkDoubleArray(array);
    return SafeArrayData(array);
}

// The core's record over the elements of the host's array that `lock` holds.
CoreMatrix viewOf(const RecordMatrix& record, const SafeArrayData& lock) {
    CoreMatrix matrix;
    matrix.m = record.m;
    matrix.n = record.n;
    const SAFEARRAY* array = record.Element;
    if (array == nullptr) return matrix;
    // The array keeps its bounds last dimension first: rgsabound[1] is the row dimension.
    const matrix::Dimension rows{array->rgsabound[1].lLbound, array->rgsabound[1].cElements};
    const matrix::Dimension columns{array->rgsabound[0].lLbound, array->rgsabound[0].cElements};
    const auto* elements = static_cast<const double*>(lock.data());
    if (elements == nullptr && rows.count != 0 && columns.count != 0)
        throw FrameError(DISP_E_TYPEMISMATCH, u"Element has no data");
    matrix.Element = matrix::ElementArray::borrowing(elements, rows, columns);
    return matrix;
}

} // namespace

BorrowedMatrix::BorrowedMatrix(const RecordMatrix& record)
        : lock_(lockedElements(record.Element)), matrix_(viewOf(record, lock_)) {}

void writeRecord(CoreMatrix&& matrix, RecordMatrix& record) {
    record.m = matrix.m;
    record.n = matrix.n;
    record.Element = nullptr;
    if (!matrix.Element.present()) return;
    if (SAFEARRAY* allocated = SafeArrayStorage::takeArray(matrix.Element)) {
        record.Element = allocated;
        return;
    }
    const matrix::Dimension rows = matrix.Element.rows();
    const matrix::Dimension columns = matrix.Element.columns();
    SAFEARRAYBOUND bounds[2] = {{rows.count, rows.lowerBound}, {columns.count, columns.lowerBound}};
    SafeArray array(SafeArrayCreate(VT_R8, 2, bounds));
    if (array.get() == nullptr) throw FrameError(E_OUTOFMEMORY, u"Out of memory");
    if (matrix.Element.size() != 0) {
        SafeArrayData data(array.get());
        std::memcpy(data.data(), std::as_const(matrix.Element).data(), matrix.Element.size() * sizeof(double));
    }
    record.Element = array.release();
}

void clearRecord(RecordMatrix& record) noexcept {
    if (record.Element != nullptr) SafeArrayDestroy(record.Element);
    record.Element = nullptr;
}

HRESULT copyRecord(const RecordMatrix& source, RecordMatrix& destination) noexcept {
    destination.m = source.m;
    destination.n = source.n;
    destination.Element = nullptr;
    if (source.Element == nullptr) return S_OK;
    return SafeArrayCopy(source.Element, &destination.Element);
}

} // namespace numoria::frame
