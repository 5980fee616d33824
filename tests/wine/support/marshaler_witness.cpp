#include "marshaler_witness.h"

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
    Microsoft::WRL::ComPtr<ICreateErrorInfo> creator;
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(CreateErrorInfo(&creator))) {
        creator->SetGUID(__uuidof(_clsVxNumsMatrixA));
        creator->SetSource(const_cast<LPOLESTR>(L"MarshalerWitness"));
        creator->SetDescription(const_cast<LPOLESTR>(L"error raised by the witness"));
        if (SUCCEEDED(creator.As(&info))) SetErrorInfo(0, info.Get());
    }
    return kFailure;
}

HRESULT MarshalerWitness::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, __uuidof(_clsVxNumsMatrixA)) ? S_OK : S_FALSE;
}

} // namespace wine_tests
