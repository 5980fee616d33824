// Members with Matrix records: the records go by reference (VT_RECORD |
// VT_BYREF with the platform's record description) on the dispatch routes,
// and a record result comes back as VT_RECORD. The platform's DispInvoke may
// not serve records at all; its benchmarks then report why.
#include <memory>
#include <string>
#include <vector>

#include "bench_session.h"
#include "call_benchmarks.h"
#include "host_matrix.h"
#include "numori10.h"
#include "route_benchmarks.h"

namespace numoria_bench {

namespace {

struct MatrixObject {
    ComPtr<_clsVxNumsMatrixA> object = createObject<_clsVxNumsMatrixA>(CLSID_clsVxNumsMatrixA);
    ComPtr<ITypeInfo> description = vtableTypeInfo(__uuidof(_clsVxNumsMatrixA));
    ComPtr<IRecordInfo> recordInfo = matrixRecordInfo();
};

double determinantOf3x3(const Matrix& a) {
    auto e = [&](short row, short column) { return elementAt(a, row, column); };
    return e(1, 1) * (e(2, 2) * e(3, 3) - e(2, 3) * e(3, 2)) - e(1, 2) * (e(2, 1) * e(3, 3) - e(2, 3) * e(3, 1)) +
           e(1, 3) * (e(2, 1) * e(3, 2) - e(2, 2) * e(3, 1));
}

// What the dispatch arguments of a call point at, kept alive by its
// fixture: the host's records, and the record description that the
// by-reference VARIANTs name without holding a reference to it.
struct RecordArguments {
    RecordArguments(IRecordInfo* info, short size, int count) : recordInfo(info) {
        for (int k = 0; k < count; ++k) records.emplace_back(size, size);
    }
    std::vector<Variant> references() {
        std::vector<Variant> values;
        for (HostMatrix& record : records) values.push_back(recordReference(record.get(), recordInfo.Get()));
        return values;
    }
    ComPtr<IRecordInfo> recordInfo;
    std::vector<HostMatrix> records;
};

// MultiplyMatrix of two host records; the early route's result slot is
// emptied before each call, as a host frees the previous result.
class ProductFixture final : public CallFixture {
public:
    ProductFixture(const MatrixObject& matrix, const std::shared_ptr<RecordArguments>& factors)
            : CallFixture(matrix.object.Get(), matrix.description.Get(), L"MultiplyMatrix", factors->references(),
                          factors),
              object_(matrix.object),
              left_(factors->records[0].get()),
              right_(factors->records[1].get()),
              expected_(HostMatrix::product(*left_, *right_)) {}

    HRESULT callEarly() override { return object_->MultiplyMatrix(left_, right_, result_.out()); }
    std::string checkEarly() const override { return productDifference(*result_.get()); }
    std::string checkLate() const override {
        const VARIANT& value = lateResult();
        if (value.vt != VT_RECORD || value.pvRecord == nullptr)
            return "no record result (vt " + std::to_string(value.vt) + ")";
        return productDifference(*static_cast<const Matrix*>(value.pvRecord));
    }

private:
    std::string productDifference(const Matrix& actual) const {
        return sameMatrix(*expected_.get(), actual) ? std::string() : "the product differs from the one computed here";
    }

    ComPtr<_clsVxNumsMatrixA> object_;
    Matrix* left_;
    Matrix* right_;
    HostMatrix expected_;
    HostMatrix result_;
};

} // namespace

void registerMatrixCallBenchmarks() {
    const MatrixObject matrix;

    auto square = std::make_shared<RecordArguments>(matrix.recordInfo.Get(), 3, 1);
    ComPtr<_clsVxNumsMatrixA> object = matrix.object;
    registerRoutes("Determinant/3x3",
                   scalarFixture(
                       matrix.object.Get(), matrix.description.Get(), L"Determinant", square->references(), square,
                       [object, record = square->records[0].get()](VARIANT* slot) {
                           slot->vt = VT_R8;
                           return object->Determinant(record, &slot->dblVal);
                       },
                       Variant::ofR8(determinantOf3x3(*square->records[0].get()))));

    for (short size : {3, 8}) {
        const std::string name = "MultiplyMatrix/" + std::to_string(size) + "x" + std::to_string(size);
        registerRoutes(name, std::make_shared<ProductFixture>(
                                 matrix, std::make_shared<RecordArguments>(matrix.recordInfo.Get(), size, 2)));
    }
}

} // namespace numoria_bench
