// What every benchmark program under Wine needs from COM: an apartment for
// the calling thread, objects of the library's classes, the type
// description of a default interface and the platform's record description
// of Matrix. Failures throw BenchSetupError with the failing status.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <stdexcept>
#include <string>

namespace numoria_bench {

using Microsoft::WRL::ComPtr;

class BenchSetupError : public std::runtime_error {
public:
    BenchSetupError(const std::string& what, HRESULT status);
    HRESULT status() const { return status_; }

private:
    HRESULT status_;
};

// Throws BenchSetupError naming `what` when `status` is a failure.
void check(HRESULT status, const char* what);

// "0x80004001 (E_NOTIMPL)" for a status: its number, and its name when it
// is one a call here may meet.
std::string hexStatus(HRESULT status);

// An apartment-threaded COM thread, as a host of the library runs.
class ComApartment {
public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();
};

// A new object of a registered class, asked for `Interface`.
template <class Interface>
ComPtr<Interface> createObject(REFCLSID clsid) {
    ComPtr<Interface> object;
    check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(Interface),
                           reinterpret_cast<void**>(object.GetAddressOf())),
          "CoCreateInstance");
    return object;
}

// The virtual-table (TKIND_INTERFACE) description of a dual interface from
// the registered type library: the one the platform's DispInvoke needs to
// call through the virtual table rather than back through IDispatch.
ComPtr<ITypeInfo> vtableTypeInfo(REFIID interfaceId);

// The platform's IRecordInfo of the type library's Matrix record.
ComPtr<IRecordInfo> matrixRecordInfo();

} // namespace numoria_bench
