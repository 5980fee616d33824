// An object of the matrix interface that computes nothing and only reports
// what the platform's marshaler delivered to it: a test passes it along the
// same route as a library object to tell a limit of the marshaler from a
// fault of the library. It lives in the apartment that creates it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <wrl/client.h>

#include <atomic>

#include "numori10.h"

namespace wine_tests {

class MarshalerWitness final : public _clsVxNumsMatrixA, public ISupportErrorInfo {
public:
    static Microsoft::WRL::ComPtr<MarshalerWitness> create();

    static constexpr HRESULT kFailure = static_cast<HRESULT>(0x800A03E8);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;

    // Reachable through its virtual table only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    // Leaves the record exactly as it arrived.
    HRESULT STDMETHODCALLTYPE PrintMatrix(Matrix*) override { return S_OK; }
    // Fails with kFailure and error information for the matrix interface.
    HRESULT STDMETHODCALLTYPE Determinant(Matrix*, double*) override;

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    HRESULT STDMETHODCALLTYPE CreateMatrix(short, short, SAFEARRAY**, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TransposeMatrix(Matrix*, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ScaleMatrix(Matrix*, double, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddMatrix(Matrix*, Matrix*, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SubMatrix(Matrix*, Matrix*, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MultiplyMatrix(Matrix*, Matrix*, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InvertMatrix(Matrix*, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InsertMatrix(Matrix*, Matrix*, short, short, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CombineMatrix(Matrix*, Matrix*, short, short, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SwapRow(Matrix*, short, short, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SwapCol(Matrix*, short, short, Matrix*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SubMat(Matrix*, short, short, Matrix*) override { return E_NOTIMPL; }

private:
    MarshalerWitness() = default;
    ~MarshalerWitness() = default;

    std::atomic<ULONG> references_{1};
};

} // namespace wine_tests
