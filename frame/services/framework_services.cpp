#include "frame/services/framework_services.h"

#include <wrl/client.h>

#include <array>
#include <new>

#include "frame/com/bstr.h"
#include "frame/com/variant.h"
#include "frame/library_info/thread_module_data.h"
#include "frame/services/error_object.h"
#include "frame/services/late_binding.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

constexpr const wchar_t* kEnvironmentLocation = L"basVxfuCommonA.EnsureVxEnvironmentStatus_Pro";
// The arguments the environment check is made with: a check to be run, and
// the environment status the library asks for.
constexpr VARIANT_BOOL kRunEnvironmentCheck = VARIANT_TRUE;
constexpr SHORT kRequestedEnvironmentStatus = 99;
constexpr const wchar_t* kAboutLocation = L"basVxfuCommonA.AppAboutVxfu_Pro";

// Runs one step; a runtime error it raises, out of memory (7) included, is
// reported and execution resumes.
template <class Step>
void reportingErrors(const wchar_t* location, Step&& step) {
    try {
        step();
    } catch (const RuntimeError&) {
        ErrorHandlerMessageVx_Pro(location, currentRuntimeError());
    } catch (const std::bad_alloc&) {
        ErrorHandlerMessageVx_Pro(location, currentRuntimeError());
    }
}

// Creates the framework object, calls the method with the arguments, releases it.
void callFramework(const wchar_t* location, const wchar_t* progId, const wchar_t* method,
                   std::span<VARIANT> arguments) {
    ComPtr<IDispatch> object;
    reportingErrors(location, [&] { object = createObject(progId); });
    reportingErrors(location, [&] { callMethod(object.Get(), method, arguments); });
    reportingErrors(location, [&] { object.Reset(); });
}

// An argument passed by reference to `storage`, of `type`.
VARIANT referenceTo(VARTYPE type, void* storage) {
    VARIANT reference{};
    reference.vt = VT_BYREF | type;
    reference.byref = storage;
    return reference;
}

} // namespace

void EnsureVxEnvironmentStatus_Pro() {
    std::array<VARIANT, 2> arguments{};
    arguments[0].vt = VT_BOOL;
    arguments[0].boolVal = kRunEnvironmentCheck;
    arguments[1].vt = VT_I2;
    arguments[1].iVal = kRequestedEnvironmentStatus;
    callFramework(kEnvironmentLocation, L"VxFundara10.clsVxfuEnvironmentA", L"EnsureVxEnvironmentStatus", arguments);
}

void AppAboutVxfu_Pro(IDispatch* app) {
    std::array<VARIANT, 1> arguments{};
    arguments[0].vt = VT_DISPATCH;
    arguments[0].pdispVal = app;
    callFramework(kAboutLocation, L"VxFundara10.clsVxFundara10A", L"AppAboutVxfu", arguments);
}

void ErrorHandlerMessageVx_Pro(const wchar_t* location, const RuntimeError& error) {
    ComPtr<IDispatch> handler = createObject(L"VxFundara10.clsVxfuErrorHandlerA");
    ComPtr<IDispatch> appOwner = threadAppObject();
    IDispatch* app = appOwner.Get();
    ComPtr<IDispatch> errorObjectOwner = newErrorObject(error);
    IDispatch* errorObject = errorObjectOwner.Get();
    Bstr empty1(u""), place(location), empty2(u"");
    BSTR empty1Value = empty1.get(), placeValue = place.get(), empty2Value = empty2.get();
    LONG zero1 = 0, zero2 = 0;

    VARIANT omitted{};
    omitted.vt = VT_ERROR;
    omitted.scode = DISP_E_PARAMNOTFOUND;
    std::array<VARIANT, 8> arguments{
        referenceTo(VT_DISPATCH, &app),     referenceTo(VT_DISPATCH, &errorObject),
        referenceTo(VT_BSTR, &empty1Value), referenceTo(VT_BSTR, &placeValue),
        referenceTo(VT_I4, &zero1),         referenceTo(VT_BSTR, &empty2Value),
        referenceTo(VT_I4, &zero2),         omitted,
    };
    callMethod(handler.Get(), L"ErrorHandlerMessageVx", arguments);
}

} // namespace numoria::frame
