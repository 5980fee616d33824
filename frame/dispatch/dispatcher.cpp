#include "frame/dispatch/dispatcher.h"

#include <cwchar>
#include <vector>

#include "frame/com/safe_array.h"
#include "frame/com/variant.h"
#include "frame/server/type_library.h"
#include "runtime/fp_environment.h"

namespace numoria::frame {

namespace {

bool isPut(WORD kind) { return (kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }

// Packs the trailing dispatch arguments (declaration order) into one
// zero-based array of VARIANT, by-reference values copied as values.
Variant packedValues(const std::vector<const VARIANT*>& trailing) {
    SafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(trailing.size())));
    if (array.get() == nullptr) throw FrameError(E_OUTOFMEMORY);
    if (!trailing.empty()) {
        SafeArrayData data(array.get());
        auto* elements = static_cast<VARIANT*>(data.data());
        for (std::size_t k = 0; k < trailing.size(); ++k)
            throwIfFailed(VariantCopyInd(&elements[k], const_cast<VARIANT*>(trailing[k])));
    }
    Variant packed;
    packed->vt = VT_ARRAY | VT_VARIANT;
    packed->parray = array.release();
    return packed;
}

} // namespace

HRESULT Dispatcher::getTypeInfoCount(UINT* count) const noexcept {
    if (count == nullptr) return E_INVALIDARG;
    *count = 1;
    return S_OK;
}

HRESULT Dispatcher::getTypeInfo(UINT index, ITypeInfo** info) const noexcept {
    if (info == nullptr) return E_INVALIDARG;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    try {
        *info = typeInfoOf(interfaceId_).Detach();
        return S_OK;
    } catch (...) {
        return describeCurrentException().status;
    }
}

HRESULT Dispatcher::getIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* dispids) const noexcept {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (count == 0) return S_OK;
    if (names == nullptr || dispids == nullptr) return E_INVALIDARG;
    for (UINT k = 0; k < count; ++k) dispids[k] = DISPID_UNKNOWN;
    if (names[0] == nullptr) return DISP_E_UNKNOWNNAME;
    for (const Member& entry : members_) {
        if (_wcsicmp(entry.name, names[0]) == 0) {
            dispids[0] = entry.dispid;
            // Parameters are not reachable by name.
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

const Member* Dispatcher::find(DISPID dispid, WORD flags, bool& dispidKnown) const noexcept {
    dispidKnown = false;
    for (const Member& entry : members_) {
        if (entry.dispid != dispid) continue;
        dispidKnown = true;
        if ((entry.invokeKind & flags) != 0) return &entry;
    }
    return nullptr;
}

HRESULT Dispatcher::invoke(DISPID dispid, REFIID iid, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                           EXCEPINFO* exception, UINT* argumentError) const noexcept {
    const fp::DefaultFloatingPointEnvironment environment;
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (parameters == nullptr) return E_INVALIDARG;
    bool dispidKnown = false;
    const Member* entry = find(dispid, flags, dispidKnown);
    if (entry == nullptr) return DISP_E_MEMBERNOTFOUND;
    if (parameters->cArgs > 0 && parameters->rgvarg == nullptr) return E_INVALIDARG;

    const UINT named = parameters->cNamedArgs;
    if (named > 0) {
        const bool putValue = isPut(entry->invokeKind) && named == 1 && parameters->rgdispidNamedArgs != nullptr &&
                              parameters->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
        if (!putValue) return DISP_E_NONAMEDARGS;
    }

    const std::size_t declared = entry->parameters.size();
    const std::size_t fixed = entry->vararg ? declared - 1 : declared;
    const std::size_t given = parameters->cArgs;
    if (entry->vararg ? given < fixed : given != declared) return DISP_E_BADPARAMCOUNT;

    try {
        // rgvarg holds the arguments last first; a put's value (the named
        // DISPID_PROPERTYPUT argument) is at index 0 and is the last parameter.
        std::vector<const VARIANT*> arguments;
        arguments.reserve(declared);
        for (std::size_t k = 0; k < fixed; ++k)
            arguments.push_back(&referencedValue(parameters->rgvarg[given - 1 - k]));
        Variant packed;
        if (entry->vararg) {
            std::vector<const VARIANT*> trailing;
            for (std::size_t k = fixed; k < given; ++k) trailing.push_back(&referencedValue(parameters->rgvarg[given - 1 - k]));
            packed = packedValues(trailing);
            arguments.push_back(packed.get());
        }

        Variant value;
        try {
            entry->invoke(arguments, value.get());
        } catch (const ArgumentError& error) {
            if (argumentError != nullptr) *argumentError = static_cast<UINT>(given - 1 - error.position());
            return error.status();
        }
        if (result != nullptr) {
            VariantInit(result);
            value.moveTo(result);
        }
        return S_OK;
    } catch (...) {
        const ErrorDescription error = describeCurrentException();
        publishErrorInfo(error, interfaceId_);
        if (exception == nullptr) return error.status;
        fillExcepInfo(error, exception);
        return DISP_E_EXCEPTION;
    }
}

} // namespace numoria::frame
