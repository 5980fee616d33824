// A small C++ host of numori10.dll: inverts a 3 x 3 matrix once early-bound,
// through the dual interface, and once late-bound, by name through IDispatch,
// and prints the matrices. Build it against numori10.h from the distribution
// folder and link ole32, oleaut32 and uuid.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <vector>

#include "numori10.h"

using Microsoft::WRL::ComPtr;

namespace {

// Owns the Element array of a Matrix record handed back by the library.
struct OwnedMatrix {
    Matrix record{};
    OwnedMatrix() = default;
    OwnedMatrix(const OwnedMatrix&) = delete;
    OwnedMatrix& operator=(const OwnedMatrix&) = delete;
    ~OwnedMatrix() {
        if (record.Element != nullptr) SafeArrayDestroy(record.Element);
    }
};

// Owns a VARIANT.
struct OwnedVariant {
    VARIANT value;
    OwnedVariant() { VariantInit(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    ~OwnedVariant() { VariantClear(&value); }
};

void printMatrix(const char* title, const Matrix& record) {
    std::printf("%s (%d x %d)\n", title, record.m, record.n);
    for (LONG i = 1; i <= record.m; ++i) {
        for (LONG j = 1; j <= record.n; ++j) {
            LONG subscripts[2] = {i, j};
            double value = 0;
            SafeArrayGetElement(record.Element, subscripts, &value);
            std::printf(" %10.6g", value);
        }
        std::printf("\n");
    }
}

bool failed(HRESULT status, const char* what) {
    if (SUCCEEDED(status)) return false;
    std::printf("%s failed: 0x%08lX\n", what, static_cast<unsigned long>(status));
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) == S_OK) {
        BSTR source = nullptr, description = nullptr;
        info->GetSource(&source);
        info->GetDescription(&description);
        std::printf("  %ls: %ls\n", source ? source : L"", description ? description : L"");
        SysFreeString(source);
        SysFreeString(description);
    }
    return true;
}

const double kValues[9] = {2, 0, 1, 1, 3, 2, 1, 1, 2};

int earlyBound(_clsVxNumsMatrixA* matrices) {
    SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, 9);
    if (values == nullptr) return 1;
    VARIANT* slots = nullptr;
    SafeArrayAccessData(values, reinterpret_cast<void**>(&slots));
    for (int k = 0; k < 9; ++k) {
        slots[k].vt = VT_R8;
        slots[k].dblVal = kValues[k];
    }
    SafeArrayUnaccessData(values);

    OwnedMatrix a, inverse;
    HRESULT status = matrices->CreateMatrix(3, 3, &values, &a.record);
    SafeArrayDestroy(values);
    if (failed(status, "CreateMatrix")) return 1;
    if (failed(matrices->InvertMatrix(&a.record, &inverse.record), "InvertMatrix")) return 1;
    printMatrix("Early-bound: A", a.record);
    printMatrix("Early-bound: InvertMatrix(A)", inverse.record);
    return 0;
}

HRESULT invokeByName(IDispatch* object, const wchar_t* name, std::vector<VARIANT>& reversedArguments, VARIANT* result) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT status = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(status)) return status;
    DISPPARAMS parameters{reversedArguments.data(), nullptr, static_cast<UINT>(reversedArguments.size()), 0};
    EXCEPINFO exception{};
    status =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result, &exception, nullptr);
    if (status == DISP_E_EXCEPTION) {
        std::printf("  %ls: %ls\n", exception.bstrSource ? exception.bstrSource : L"",
                    exception.bstrDescription ? exception.bstrDescription : L"");
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return status;
}

int lateBound(IDispatch* matrices) {
    // CreateMatrix(3, 3, values...): arguments go in reverse order.
    std::vector<VARIANT> arguments(11);
    for (int k = 0; k < 9; ++k) {
        arguments[8 - k].vt = VT_R8;
        arguments[8 - k].dblVal = kValues[k];
    }
    arguments[9].vt = VT_I2;
    arguments[9].iVal = 3;
    arguments[10].vt = VT_I2;
    arguments[10].iVal = 3;
    OwnedVariant a;
    if (failed(invokeByName(matrices, L"CreateMatrix", arguments, &a.value), "CreateMatrix by name")) return 1;

    std::vector<VARIANT> record(1);
    record[0] = a.value; // the record is only read: no copy needed
    OwnedVariant inverse;
    if (failed(invokeByName(matrices, L"InvertMatrix", record, &inverse.value), "InvertMatrix by name")) return 1;
    if (V_VT(&inverse.value) != VT_RECORD) return 1;
    printMatrix("Late-bound: A", *static_cast<Matrix*>(V_RECORD(&a.value)));
    printMatrix("Late-bound: InvertMatrix(A)", *static_cast<Matrix*>(V_RECORD(&inverse.value)));
    return 0;
}

} // namespace

int main() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int result = 1;
    {
        CLSID classId{};
        ComPtr<_clsVxNumsMatrixA> matrices;
        if (!failed(CLSIDFromProgID(L"Numoria10.clsVxNumsMatrixA", &classId), "CLSIDFromProgID") &&
            !failed(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_clsVxNumsMatrixA),
                                     reinterpret_cast<void**>(matrices.GetAddressOf())),
                    "CoCreateInstance")) {
            result = earlyBound(matrices.Get());
            if (result == 0) result = lateBound(matrices.Get());
        }
    }
    CoUninitialize();
    return result;
}
