// Creates the conversions and matrix classes early-bound through the
// package's header and identifiers and prints what they answer; exits 1 on
// any failure.
#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <cstdio>

#include "numori10.h"

using Microsoft::WRL::ComPtr;

int main() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 1;
    {
        ComPtr<_clsVxNumsConversionsA> conversions;
        ComPtr<_clsVxNumsMatrixA> matrix;
        BSTR binary = nullptr;
        SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, 4);
        const double numbers[] = {4, 7, 2, 6};
        for (LONG i = 0; i < 4; ++i) {
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_R8;
            value.dblVal = numbers[i];
            SafeArrayPutElement(values, &i, &value);
        }
        Matrix record{};
        double determinant = 0;
        if (SUCCEEDED(CoCreateInstance(CLSID_clsVxNumsConversionsA, nullptr, CLSCTX_INPROC_SERVER,
                                       IID__clsVxNumsConversionsA, &conversions)) &&
            SUCCEEDED(CoCreateInstance(__uuidof(clsVxNumsMatrixA), nullptr, CLSCTX_INPROC_SERVER,
                                       __uuidof(_clsVxNumsMatrixA), &matrix)) &&
            SUCCEEDED(conversions->DecimalToBinary(37, &binary)) &&
            SUCCEEDED(matrix->CreateMatrix(2, 2, &values, &record)) &&
            SUCCEEDED(matrix->Determinant(&record, &determinant))) {
            std::printf("DecimalToBinary(37) = %ls\nDeterminant = %g\n", binary, determinant);
            status = 0;
        }
        SysFreeString(binary);
        if (record.Element) SafeArrayDestroy(record.Element);
        SafeArrayDestroy(values);
    }
    CoUninitialize();
    return status;
}
