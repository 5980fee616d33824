#include "frame/dispatch/dispatcher.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <span>
#include <vector>

#include "frame/com/safe_array.h"
#include "frame/com/variant.h"
#include "frame/module/type_library.h"
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

constexpr std::size_t kUnfilled = static_cast<std::size_t>(-1);

// Where the argument of each fixed parameter sits in rgvarg. The named
// arguments come first in rgvarg and name their parameter by its position (a
// put's value by DISPID_PROPERTYPUT: the last parameter); the positional ones
// fill the other parameters in order, the first at the end of rgvarg. False,
// with `misnamed` set to its rgvarg index, when a name is no free parameter.
bool argumentSlots(const DISPPARAMS& parameters, std::size_t fixed, bool put, std::span<std::size_t> slots,
                   UINT& misnamed) {
    std::fill(slots.begin(), slots.end(), kUnfilled);
    for (UINT j = 0; j < parameters.cNamedArgs; ++j) {
        const DISPID name = parameters.rgdispidNamedArgs[j];
        const std::size_t k = put && name == DISPID_PROPERTYPUT ? fixed - 1 : static_cast<ULONG>(name);
        if (k >= fixed || slots[k] != kUnfilled) {
            misnamed = j;
            return false;
        }
        slots[k] = j;
    }
    std::size_t next = parameters.cArgs;
    for (std::size_t& slot : slots)
        if (slot == kUnfilled) slot = --next;
    return true;
}

// An argument with one VARIANT reference followed, as the platform's
// coercion follows it; a second reference is left for the coercion to refuse.
const VARIANT& onceReferenced(const VARIANT& value) {
    return value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal != nullptr ? *value.pvarVal : value;
}

} // namespace

Dispatcher::~Dispatcher() {
    if (ITypeInfo* info = typeInfo_.load()) info->Release();
}

Microsoft::WRL::ComPtr<ITypeInfo> Dispatcher::typeInfo() const {
    if (ITypeInfo* cached = typeInfo_.load(std::memory_order_acquire)) return cached;
    Microsoft::WRL::ComPtr<ITypeInfo> found = typeInfoOf(interfaceId_);
    ITypeInfo* expected = nullptr;
    if (typeInfo_.compare_exchange_strong(expected, found.Get(), std::memory_order_acq_rel)) {
        found->AddRef(); // the dispatcher's own reference
        return found;
    }
    return expected;
}

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
        *info = typeInfo().Detach();
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
            return count == 1 ? S_OK : parameterIds(names, count, dispids);
        }
    }
    return DISP_E_UNKNOWNNAME;
}

// The positions of the parameters names[1..] of member names[0], which name
// them in a call, as the interface's type description declares them.
HRESULT Dispatcher::parameterIds(LPOLESTR* names, UINT count, DISPID* dispids) const noexcept {
    try {
        std::vector<DISPID> found(count, DISPID_UNKNOWN);
        const HRESULT status = typeInfo()->GetIDsOfNames(names, count, found.data());
        for (UINT k = 1; k < count; ++k) dispids[k] = found[k];
        return FAILED(status) ? DISP_E_UNKNOWNNAME : S_OK;
    } catch (...) {
        return DISP_E_UNKNOWNNAME;
    }
}

const Member* Dispatcher::find(DISPID dispid, WORD flags) const noexcept {
    for (const Member& entry : members_)
        if (entry.dispid == dispid && (entry.invokeKind & flags) != 0) return &entry;
    return nullptr;
}

HRESULT Dispatcher::invoke(DISPID dispid, REFIID iid, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                           EXCEPINFO* exception, UINT* argumentError) const noexcept {
    const fp::DefaultFloatingPointEnvironment environment;
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (parameters == nullptr || parameters->cNamedArgs > parameters->cArgs) return E_INVALIDARG;
    const Member* entry = find(dispid, flags);
    if (entry == nullptr) return DISP_E_MEMBERNOTFOUND;
    if (parameters->cArgs > 0 && parameters->rgvarg == nullptr) return E_INVALIDARG;

    const UINT named = parameters->cNamedArgs;
    if (named > 0 && parameters->rgdispidNamedArgs == nullptr) return E_INVALIDARG;
    // As on the platform, a variable argument list takes no names.
    if (named > 0 && entry->vararg) return DISP_E_NONAMEDARGS;

    const std::size_t declared = entry->parameters.size();
    const std::size_t fixed = entry->vararg ? declared - 1 : declared;
    const std::size_t given = parameters->cArgs;
    if (entry->vararg ? given < fixed : given != declared) return DISP_E_BADPARAMCOUNT;

    try {
        // Fixed storage: no heap allocation for the arguments of a call.
        std::array<std::size_t, kMaxParameters> slotStorage;
        std::array<const VARIANT*, kMaxParameters> argumentStorage;
        const std::span<std::size_t> slots(slotStorage.data(), fixed);
        UINT misnamed = 0;
        if (!argumentSlots(*parameters, fixed, isPut(entry->invokeKind), slots, misnamed)) {
            if (argumentError != nullptr) *argumentError = misnamed;
            return DISP_E_PARAMNOTFOUND;
        }
        for (std::size_t k = 0; k < fixed; ++k) argumentStorage[k] = &onceReferenced(parameters->rgvarg[slots[k]]);
        const ArgumentList arguments(argumentStorage.data(), declared);
        Variant packed;
        if (entry->vararg) {
            std::vector<const VARIANT*> trailing;
            for (std::size_t k = fixed; k < given; ++k) {
                const VARIANT& value = referencedValue(parameters->rgvarg[given - 1 - k]);
                if (pointsAtNothing(value)) {
                    if (argumentError != nullptr) *argumentError = static_cast<UINT>(given - 1 - k);
                    return DISP_E_TYPEMISMATCH;
                }
                trailing.push_back(&value);
            }
            packed = packedValues(trailing);
            argumentStorage[fixed] = packed.get();
        }

        Variant value;
        try {
            entry->invoke(arguments, value.get());
        } catch (const ArgumentError& error) {
            if (argumentError != nullptr)
                *argumentError = static_cast<UINT>(error.position() < slots.size() ? slots[error.position()]
                                                                                   : given - 1 - error.position());
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
        // As the platform does, an error of the member is DISP_E_EXCEPTION
        // even for a caller that gave no EXCEPINFO: it finds the details in
        // the thread's error information.
        if (exception != nullptr) fillExcepInfo(error, exception);
        return DISP_E_EXCEPTION;
    }
}

} // namespace numoria::frame
