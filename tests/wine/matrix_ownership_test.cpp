// Who owns which array across a matrix call: the host's arrays are read
// where they are, locked only while the call runs and never written; every
// record result owns a whole, unlocked array of doubles that the host frees.
#include "support/late_bound.h"
#include "support/status_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

constexpr GUID kMatrixRecord = {0x624943a9, 0x50c8, 0x49dd, {0xbc, 0xa0, 0xc6, 0x35, 0x86, 0x76, 0x6c, 0x14}};

// Element k (storage order) of a host array: small whole numbers, so that
// products are exact, with -0.0 and a denormal among them, bit patterns that
// any rewrite through arithmetic or conversion would disturb.
double hostValue(std::size_t k) {
    if (k == 1) return -0.0;
    if (k == 4) return std::numeric_limits<double>::denorm_min();
    return static_cast<double>(static_cast<long>(k * 7 % 11) - 5);
}

// A record the host owns, and what its array held when it was made.
class HostRecord {
public:
    HostRecord(short m, short n, LONG rowLower, ULONG rows, LONG columnLower, ULONG columns) {
        record_.m = m;
        record_.n = n;
        SAFEARRAYBOUND bounds[2] = {{rows, rowLower}, {columns, columnLower}};
        record_.Element = SafeArrayCreate(VT_R8, 2, bounds);
        // SafeArrayCreate gives no status; with valid bounds it fails only for want of memory.
        if (record_.Element == nullptr) throw FailedStatus("SafeArrayCreate", E_OUTOFMEMORY);
        double* data = nullptr;
        throwIfFailed(SafeArrayAccessData(record_.Element, reinterpret_cast<void**>(&data)), "SafeArrayAccessData");
        for (std::size_t k = 0; k < std::size_t{rows} * columns; ++k) data[k] = hostValue(k);
        pristine_.assign(data, data + std::size_t{rows} * columns);
        SafeArrayUnaccessData(record_.Element);
    }
    HostRecord(short m, short n) : HostRecord(m, n, 1, static_cast<ULONG>(m), 1, static_cast<ULONG>(n)) {}
    HostRecord(const HostRecord&) = delete;
    HostRecord& operator=(const HostRecord&) = delete;
    ~HostRecord() {
        if (record_.Element != nullptr) SafeArrayDestroy(record_.Element);
    }

    Matrix* get() { return &record_; }
    LONG locks() const { return static_cast<LONG>(record_.Element->cLocks); }
    bool unchanged() const {
        return std::memcmp(record_.Element->pvData, pristine_.data(), pristine_.size() * sizeof(double)) == 0;
    }

private:
    Matrix record_{};
    std::vector<double> pristine_;
};

// What a record result must be: a two-dimensional array of VT_R8 that
// nothing holds locked, with the given bounds.
void expectWholeResult(const Matrix& result, LONG rowLower, ULONG rows, LONG columnLower, ULONG columns) {
    ASSERT_NE(result.Element, nullptr);
    SAFEARRAY* array = result.Element;
    EXPECT_EQ(SafeArrayGetDim(array), 2u);
    EXPECT_EQ(SafeArrayGetElemsize(array), sizeof(double));
    VARTYPE type = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(array, &type), S_OK);
    EXPECT_EQ(type, VT_R8);
    EXPECT_EQ(array->cLocks, 0u);
    EXPECT_EQ(array->rgsabound[1].lLbound, rowLower);
    EXPECT_EQ(array->rgsabound[1].cElements, rows);
    EXPECT_EQ(array->rgsabound[0].lLbound, columnLower);
    EXPECT_EQ(array->rgsabound[0].cElements, columns);
}

// Element (row, column) of an array with bounds (1 To ..., 1 To ...).
double element(const Matrix& record, LONG row, LONG column) {
    const auto* data = static_cast<const double*>(record.Element->pvData);
    return data[(row - 1) + (column - 1) * static_cast<LONG>(record.Element->rgsabound[1].cElements)];
}

ComPtr<_clsVxNumsMatrixA> matrixObject() {
    ComPtr<_clsVxNumsMatrixA> object;
    Creation created = createByProgId(L"Numoria10.clsVxNumsMatrixA");
    throwIfFailed(created.status, "creating Numoria10.clsVxNumsMatrixA");
    if (created.object) throwIfFailed(created.object.As(&object), "QueryInterface for _clsVxNumsMatrixA");
    return object;
}

HRESULT controlStatus(long number) { return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number); }

} // namespace

TEST(MatrixOwnership, HostArraysAreUnlockedAndUnchangedAfterEveryCall) {
    ComPtr<_clsVxNumsMatrixA> object = matrixObject();
    ASSERT_TRUE(object);
    HostRecord a(4, 4);
    HostRecord b(4, 4, 0, 5, -1, 6);
    HostRecord shortOfRows(4, 4, 1, 3, 1, 4); // m and n promise more than the array holds
    using Call = std::function<HRESULT(_clsVxNumsMatrixA*, Matrix * out, double* number)>;
    struct Case {
        const char* what;
        Call call;
        HRESULT status;
    };
    const std::vector<Case> cases = {
        {"transpose", [&](auto* o, Matrix* out, double*) { return o->TransposeMatrix(a.get(), out); }, S_OK},
        {"scale", [&](auto* o, Matrix* out, double*) { return o->ScaleMatrix(b.get(), -2.0, out); }, S_OK},
        {"scale overflowing", [&](auto* o, Matrix* out, double*) { return o->ScaleMatrix(a.get(), 1e308, out); },
         controlStatus(6)},
        {"add a record to itself", [&](auto* o, Matrix* out, double*) { return o->AddMatrix(a.get(), a.get(), out); },
         S_OK},
        {"add past an array",
         [&](auto* o, Matrix* out, double*) { return o->AddMatrix(a.get(), shortOfRows.get(), out); },
         controlStatus(9)},
        {"subtract", [&](auto* o, Matrix* out, double*) { return o->SubMatrix(a.get(), b.get(), out); }, S_OK},
        {"multiply a record by itself",
         [&](auto* o, Matrix* out, double*) { return o->MultiplyMatrix(a.get(), a.get(), out); }, S_OK},
        {"multiply past an array",
         [&](auto* o, Matrix* out, double*) { return o->MultiplyMatrix(a.get(), shortOfRows.get(), out); },
         controlStatus(9)},
        {"determinant", [&](auto* o, Matrix*, double* number) { return o->Determinant(a.get(), number); }, S_OK},
        {"invert", [&](auto* o, Matrix* out, double*) { return o->InvertMatrix(b.get(), out); }, S_OK},
        {"insert", [&](auto* o, Matrix* out, double*) { return o->InsertMatrix(b.get(), a.get(), 1, 1, out); }, S_OK},
        {"combine", [&](auto* o, Matrix* out, double*) { return o->CombineMatrix(a.get(), b.get(), 1, 1, out); }, S_OK},
        {"swap rows", [&](auto* o, Matrix* out, double*) { return o->SwapRow(b.get(), 0, 4, out); }, S_OK},
        {"swap columns", [&](auto* o, Matrix* out, double*) { return o->SwapCol(a.get(), 1, 4, out); }, S_OK},
        {"minor", [&](auto* o, Matrix* out, double*) { return o->SubMat(a.get(), 2, 3, out); }, S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Matrix result{};
        double number = 0;
        EXPECT_EQ(c.call(object.Get(), &result, &number), c.status);
        for (HostRecord* input : {&a, &b, &shortOfRows}) {
            EXPECT_EQ(input->locks(), 0);
            EXPECT_TRUE(input->unchanged());
        }
        if (result.Element != nullptr) {
            EXPECT_NE(result.Element, a.get()->Element);
            EXPECT_NE(result.Element, b.get()->Element);
            EXPECT_EQ(SafeArrayDestroy(result.Element), S_OK);
        }
    }
}

TEST(MatrixOwnership, RecordsPassedByNameAreUnlockedAfterTheCall) {
    ComPtr<_clsVxNumsMatrixA> object = matrixObject();
    ASSERT_TRUE(object);
    ComPtr<IRecordInfo> info;
    ASSERT_EQ(GetRecordInfoFromGuids(LIBID_Numoria10, 1, 0, 0, kMatrixRecord, &info), S_OK);
    HostRecord a(3, 3), shortOfRows(3, 3, 1, 2, 1, 3);
    auto byReference = [&](HostRecord& record) {
        Variant v;
        v.get()->vt = VT_RECORD | VT_BYREF;
        v.get()->pvRecord = record.get();
        v.get()->pRecInfo = info.Get();
        info->AddRef();
        return v;
    };
    struct Case {
        const char* what;
        std::vector<Variant> arguments;
        HRESULT status;
    };
    const std::vector<Case> cases = {
        {"multiply", {byReference(a), byReference(a)}, S_OK},
        {"multiply past an array", {byReference(a), byReference(shortOfRows)}, DISP_E_EXCEPTION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CallResult call = callByName(object.Get(), L"MultiplyMatrix", c.arguments, DISPATCH_METHOD);
        EXPECT_EQ(call.status, c.status);
        EXPECT_EQ(a.locks(), 0);
        EXPECT_EQ(shortOfRows.locks(), 0);
        EXPECT_TRUE(a.unchanged());
        if (call.status == S_OK) {
            ASSERT_EQ(call.value.type(), VT_RECORD);
            expectWholeResult(*static_cast<const Matrix*>(call.value.get()->pvRecord), 1, 3, 1, 3);
            EXPECT_EQ(VariantClear(call.value.get()), S_OK);
        }
    }
}

TEST(MatrixOwnership, ResultsOwnWholeUnlockedArraysOfDoubles) {
    ComPtr<_clsVxNumsMatrixA> object = matrixObject();
    ASSERT_TRUE(object);
    // Large enough for the blocked product: panels of 192 rows and 256 k values.
    HostRecord left(200, 260), right(260, 30), offset(3, 3, 0, 5, -1, 5);
    struct Case {
        const char* what;
        std::function<HRESULT(Matrix*)> call;
        LONG rowLower;
        ULONG rows;
        LONG columnLower;
        ULONG columns;
    };
    const std::vector<Case> cases = {
        {"create",
         [&](Matrix* out) {
             SAFEARRAY* noValues = SafeArrayCreateVector(VT_VARIANT, 0, 0);
             const HRESULT status = object->CreateMatrix(3, 4, &noValues, out);
             EXPECT_EQ(SafeArrayDestroy(noValues), S_OK) << "the value list is left unlocked";
             return status;
         },
         1, 3, 1, 4},
        {"multiply", [&](Matrix* out) { return object->MultiplyMatrix(left.get(), right.get(), out); }, 1, 200, 1, 30},
        {"scale keeps the input's bounds", [&](Matrix* out) { return object->ScaleMatrix(offset.get(), 1.0, out); }, 0,
         5, -1, 5},
        {"transpose", [&](Matrix* out) { return object->TransposeMatrix(offset.get(), out); }, 1, 3, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Matrix result{};
        ASSERT_EQ(c.call(&result), S_OK);
        expectWholeResult(result, c.rowLower, c.rows, c.columnLower, c.columns);
        EXPECT_EQ(SafeArrayDestroy(result.Element), S_OK);
    }

    // Every element of the product, against the host's own sums.
    Matrix product{};
    ASSERT_EQ(object->MultiplyMatrix(left.get(), right.get(), &product), S_OK);
    int wrong = 0;
    for (LONG i = 1; i <= 200; ++i)
        for (LONG c = 1; c <= 30; ++c) {
            double sum = 0.0;
            for (LONG k = 1; k <= 260; ++k) sum = element(*left.get(), i, k) * element(*right.get(), k, c) + sum;
            const double got = element(product, i, c);
            if (std::memcmp(&got, &sum, sizeof sum) != 0) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(SafeArrayDestroy(product.Element), S_OK);
}

TEST(MatrixOwnership, ArraysBeyondTwoGigabytesAreOutOfMemory) {
    ComPtr<_clsVxNumsMatrixA> object = matrixObject();
    ASSERT_TRUE(object);
    SAFEARRAY* noValues = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    Matrix result{};
    EXPECT_EQ(object->CreateMatrix(32767, 16385, &noValues, &result), controlStatus(7));
    EXPECT_EQ(result.Element, nullptr);
    EXPECT_EQ(SafeArrayDestroy(noValues), S_OK) << "the value list is left unlocked";
}
