#include "marshaler_witness.h"

#include <gtest/gtest.h>

namespace wine_tests {

Microsoft::WRL::ComPtr<MarshalerWitness> MarshalerWitness::create() {
    Microsoft::WRL::ComPtr<MarshalerWitness> witness;
    *witness.GetAddressOf() = new MarshalerWitness();
    return witness;
}

HRESULT MarshalerWitness::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, __uuidof(_clsVxNumsMatrixA)))
        *object = static_cast<_clsVxNumsMatrixA*>(this);
    else if (IsEqualIID(iid, IID_ISupportErrorInfo))
        *object = static_cast<ISupportErrorInfo*>(this);
    else
        *object = nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG MarshalerWitness::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT MarshalerWitness::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT MarshalerWitness::Determinant(Matrix*, double*) {
    // Called through the platform's stub, which no exception may cross: recorded, not thrown.
    Microsoft::WRL::ComPtr<ICreateErrorInfo> creator;
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    const HRESULT created = CreateErrorInfo(&creator);
    EXPECT_EQ(created, S_OK) << "CreateErrorInfo";
    if (SUCCEEDED(created)) {
        EXPECT_EQ(creator->SetGUID(__uuidof(_clsVxNumsMatrixA)), S_OK) << "ICreateErrorInfo::SetGUID";
        EXPECT_EQ(creator->SetSource(const_cast<LPOLESTR>(L"MarshalerWitness")), S_OK) << "ICreateErrorInfo::SetSource";
        EXPECT_EQ(creator->SetDescription(const_cast<LPOLESTR>(L"error raised by the witness")), S_OK)
            << "ICreateErrorInfo::SetDescription";
        const HRESULT queried = creator.As(&info);
        EXPECT_EQ(queried, S_OK) << "QueryInterface for IErrorInfo";
        if (SUCCEEDED(queried)) {
            EXPECT_EQ(SetErrorInfo(0, info.Get()), S_OK) << "SetErrorInfo";
        }
    }
    return kFailure;
}

HRESULT MarshalerWitness::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, __uuidof(_clsVxNumsMatrixA)) ? S_OK : S_FALSE;
}

} // namespace wine_tests
