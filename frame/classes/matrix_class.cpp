// clsVxNumsMatrixA: the matrix operations of the core behind the member
// table and the virtual table.
#include "frame/server/automation_object.h"
#include "frame/server/class_catalogue.h"
#include "matrix/matrix_operations.h"

namespace numoria::frame {

namespace {

namespace ops = numoria::matrix;

constexpr auto createMatrix =
    static_cast<CoreMatrix (*)(std::int16_t, std::int16_t, const ops::ValueList&)>(&ops::CreateMatrix);

constexpr Member kMatrixMembers[] = {
    member<createMatrix>(L"CreateMatrix", 0x60030001),
    member<&ops::TransposeMatrix>(L"TransposeMatrix", 0x60030002),
    member<&ops::ScaleMatrix>(L"ScaleMatrix", 0x60030003),
    member<&ops::AddMatrix>(L"AddMatrix", 0x60030004),
    member<&ops::SubMatrix>(L"SubMatrix", 0x60030005),
    member<&ops::MultiplyMatrix>(L"MultiplyMatrix", 0x60030006),
    member<&ops::Determinant>(L"Determinant", 0x60030007),
    member<&ops::InvertMatrix>(L"InvertMatrix", 0x60030008),
    member<&ops::InsertMatrix>(L"InsertMatrix", 0x60030009),
    member<&ops::CombineMatrix>(L"CombineMatrix", 0x6003000a),
    member<&ops::SwapRow>(L"SwapRow", 0x6003000b),
    member<&ops::SwapCol>(L"SwapCol", 0x6003000c),
    member<&ops::SubMat>(L"SubMat", 0x6003000d),
    member<&ops::PrintMatrix>(L"PrintMatrix", 0x6003000e),
};

class MatrixObject final : public AutomationObject<_clsVxNumsMatrixA> {
public:
    MatrixObject() : AutomationObject(kMatrixMembers) {}

    HRESULT STDMETHODCALLTYPE CreateMatrix(short m, short n, SAFEARRAY** Values, RecordMatrix* pRet) override {
        return earlyCall<createMatrix>(interfaceId(), pRet, m, n, Values);
    }
    HRESULT STDMETHODCALLTYPE TransposeMatrix(RecordMatrix* dMat, RecordMatrix* pRet) override {
        return earlyCall<&ops::TransposeMatrix>(interfaceId(), pRet, dMat);
    }
    HRESULT STDMETHODCALLTYPE ScaleMatrix(RecordMatrix* dMat, double Multiplier, RecordMatrix* pRet) override {
        return earlyCall<&ops::ScaleMatrix>(interfaceId(), pRet, dMat, Multiplier);
    }
    HRESULT STDMETHODCALLTYPE AddMatrix(RecordMatrix* dMat1, RecordMatrix* dMat2, RecordMatrix* pRet) override {
        return earlyCall<&ops::AddMatrix>(interfaceId(), pRet, dMat1, dMat2);
    }
    HRESULT STDMETHODCALLTYPE SubMatrix(RecordMatrix* dMat1, RecordMatrix* dMat2, RecordMatrix* pRet) override {
        return earlyCall<&ops::SubMatrix>(interfaceId(), pRet, dMat1, dMat2);
    }
    HRESULT STDMETHODCALLTYPE MultiplyMatrix(RecordMatrix* dMat1, RecordMatrix* dMat2, RecordMatrix* pRet) override {
        return earlyCall<&ops::MultiplyMatrix>(interfaceId(), pRet, dMat1, dMat2);
    }
    HRESULT STDMETHODCALLTYPE Determinant(RecordMatrix* dMat, double* pRet) override {
        return earlyCall<&ops::Determinant>(interfaceId(), pRet, dMat);
    }
    HRESULT STDMETHODCALLTYPE InvertMatrix(RecordMatrix* dMat, RecordMatrix* pRet) override {
        return earlyCall<&ops::InvertMatrix>(interfaceId(), pRet, dMat);
    }
    HRESULT STDMETHODCALLTYPE InsertMatrix(RecordMatrix* dMatDest, RecordMatrix* dMatSrc, short mPos, short nPos,
                                           RecordMatrix* pRet) override {
        return earlyCall<&ops::InsertMatrix>(interfaceId(), pRet, dMatDest, dMatSrc, mPos, nPos);
    }
    HRESULT STDMETHODCALLTYPE CombineMatrix(RecordMatrix* dMatDest, RecordMatrix* dMatSrc, short mPos, short nPos,
                                            RecordMatrix* pRet) override {
        return earlyCall<&ops::CombineMatrix>(interfaceId(), pRet, dMatDest, dMatSrc, mPos, nPos);
    }
    HRESULT STDMETHODCALLTYPE SwapRow(RecordMatrix* dMat, short RowA, short RowB, RecordMatrix* pRet) override {
        return earlyCall<&ops::SwapRow>(interfaceId(), pRet, dMat, RowA, RowB);
    }
    HRESULT STDMETHODCALLTYPE SwapCol(RecordMatrix* dMat, short ColA, short ColB, RecordMatrix* pRet) override {
        return earlyCall<&ops::SwapCol>(interfaceId(), pRet, dMat, ColA, ColB);
    }
    HRESULT STDMETHODCALLTYPE SubMat(RecordMatrix* dMat, short eRow, short eCol, RecordMatrix* pRet) override {
        return earlyCall<&ops::SubMat>(interfaceId(), pRet, dMat, eRow, eCol);
    }
    HRESULT STDMETHODCALLTYPE PrintMatrix(RecordMatrix* dMat) override {
        return earlyCallWithoutResult<&ops::PrintMatrix>(interfaceId(), dMat);
    }
};

} // namespace

IUnknown* newMatrixObject() { return static_cast<_clsVxNumsMatrixA*>(new (std::nothrow) MatrixObject()); }

} // namespace numoria::frame
