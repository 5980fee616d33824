// Turns whatever leaves a member (a numbered runtime error, a frame failure,
// an allocation failure) into the status code, error information and
// exception information an automation client expects.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <exception>
#include <string>

namespace numoria::frame {

// The status an automation client reads error number `number` back from.
HRESULT statusOfErrorNumber(std::int32_t number) noexcept;

// The runtime error number a host sees for a failed status: the number of
// an automation error (0x800A0000 + n), the runtime's number for a dispatch
// or argument status (DISP_E_BADPARAMCOUNT is 450, DISP_E_TYPEMISMATCH 13,
// E_OUTOFMEMORY 7, ...), the status itself for any other.
std::int32_t hostErrorNumber(HRESULT status) noexcept;

// The runtime's own source text, "Numoria10", as UTF-16.
const std::u16string& runtimeErrorSource();

struct ErrorDescription {
    HRESULT status = E_FAIL;
    std::u16string source;
    std::u16string description;
};

// Describes the exception currently being handled; call only inside a catch.
ErrorDescription describeCurrentException() noexcept;

// Publishes the error as the thread's error information for interface `iid`.
void publishErrorInfo(const ErrorDescription& error, REFIID iid) noexcept;

// Fills a dispatch caller's exception information.
void fillExcepInfo(const ErrorDescription& error, EXCEPINFO* info) noexcept;

// Runs `body`; an exception leaving it becomes a failure status with error
// information for `iid`.
template <class Body>
HRESULT guardedCall(REFIID iid, Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        const ErrorDescription error = describeCurrentException();
        publishErrorInfo(error, iid);
        return error.status;
    }
}

} // namespace numoria::frame
