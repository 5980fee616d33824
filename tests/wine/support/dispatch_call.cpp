#include "dispatch_call.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <sstream>

#include "support/status_check.h"
#include "support/test_environment.h"
#include "support/type_info.h"

namespace wine_tests {
namespace {

using Microsoft::WRL::ComPtr;

std::string hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

std::string statusText(HRESULT status) { return hex(static_cast<unsigned long>(status)); }

// The bytes a by-reference VARIANT of `type` points at.
std::size_t referencedSize(VARTYPE type) {
    switch (type & VT_TYPEMASK) {
    case VT_I1:
    case VT_UI1: return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR: return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE: return 8;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN: return sizeof(void*);
    default: return 0;
    }
}

std::string valueText(const VARIANT& v) {
    char text[64];
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL: return "";
    case VT_I1: return std::to_string(static_cast<int>(v.cVal));
    case VT_UI1: return std::to_string(v.bVal);
    case VT_I2: return std::to_string(v.iVal);
    case VT_UI2: return std::to_string(v.uiVal);
    case VT_BOOL: return std::to_string(v.boolVal);
    case VT_I4:
    case VT_INT: return std::to_string(v.lVal);
    case VT_UI4:
    case VT_UINT: return std::to_string(v.ulVal);
    case VT_ERROR: return hex(static_cast<unsigned long>(v.scode));
    case VT_I8: return std::to_string(v.llVal);
    case VT_UI8: return std::to_string(v.ullVal);
    case VT_CY: return std::to_string(v.cyVal.int64) + "/10000";
    case VT_R4: {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &v.fltVal, 4);
        std::snprintf(text, sizeof text, "%.9g", v.fltVal);
        return std::string(text) + " [" + hex(bits) + "]";
    }
    case VT_R8:
    case VT_DATE: {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v.dblVal, 8);
        std::snprintf(text, sizeof text, "%.17g", v.dblVal);
        return std::string(text) + " [" + hex(bits) + "]";
    }
    case VT_BSTR: return "'" + narrow(v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : L"") + "'";
    case VT_DISPATCH:
    case VT_UNKNOWN: return v.punkVal ? "object" : "null";
    case VT_RECORD: return v.pvRecord ? "record" : "no record";
    default:
        if (v.vt & VT_ARRAY) return v.parray ? "array" : "no array";
        return "?";
    }
}

// The fresh argument block of one call. By-value arguments are owned by
// rgvarg itself (a callee may convert them in place); by-reference ones
// point into storage that outlives the call.
class ArgumentFrame {
public:
    explicit ArgumentFrame(const DispatchCall& call) {
        for (const NamedArgument& named : call.named) {
            add(named.argument);
            identifiers_.push_back(named.dispid);
        }
        for (auto it = call.positional.rbegin(); it != call.positional.rend(); ++it) add(*it);
        parameters_.cArgs = static_cast<UINT>(rgvarg_.size());
        parameters_.rgvarg = call.nullArguments || rgvarg_.empty() ? nullptr : rgvarg_.data();
        parameters_.cNamedArgs = call.namedCountOverride.value_or(static_cast<UINT>(identifiers_.size()));
        parameters_.rgdispidNamedArgs =
            call.nullNamedIdentifiers || identifiers_.empty() ? nullptr : identifiers_.data();
    }
    ArgumentFrame(const ArgumentFrame&) = delete;
    ArgumentFrame& operator=(const ArgumentFrame&) = delete;
    ~ArgumentFrame() {
        for (std::size_t k = 0; k < rgvarg_.size(); ++k)
            if (owned_[k]) VariantClear(&rgvarg_[k]);
    }

    DISPPARAMS* parameters() { return &parameters_; }

    std::vector<std::string> described() const {
        std::vector<std::string> lines;
        for (const VARIANT& v : rgvarg_) lines.push_back(describe(v));
        return lines;
    }

private:
    void add(const CallArgument& argument) {
        VARIANT entry;
        VariantInit(&entry);
        const VARTYPE type = argument.value.type();
        bool owned = false;
        switch (argument.passing) {
        case Passing::Value:
            throwIfFailed(VariantCopy(&entry, const_cast<VARIANT*>(argument.value.get())), "VariantCopy");
            owned = true;
            break;
        case Passing::Reference:
            entry.vt = static_cast<VARTYPE>(VT_BYREF | type);
            entry.byref = &storage_.emplace_back(argument.value).get()->llVal;
            break;
        case Passing::VariantReference:
            entry.vt = VT_BYREF | VT_VARIANT;
            entry.pvarVal = storage_.emplace_back(argument.value).get();
            break;
        case Passing::NestedVariantReference: {
            VARIANT* inner = storage_.emplace_back(argument.value).get();
            VARIANT* outer = storage_.emplace_back().get();
            outer->vt = VT_BYREF | VT_VARIANT;
            outer->pvarVal = inner;
            entry.vt = VT_BYREF | VT_VARIANT;
            entry.pvarVal = outer;
            break;
        }
        case Passing::NullReference:
            entry.vt = static_cast<VARTYPE>(VT_BYREF | type);
            entry.byref = nullptr;
            break;
        case Passing::NullVariantReference:
            entry.vt = VT_BYREF | VT_VARIANT;
            entry.pvarVal = nullptr;
            break;
        }
        rgvarg_.push_back(entry);
        owned_.push_back(owned);
    }

    std::deque<Variant> storage_;
    std::vector<VARIANT> rgvarg_;
    std::vector<bool> owned_;
    std::vector<DISPID> identifiers_;
    DISPPARAMS parameters_{};
};

} // namespace

std::string describe(const VARIANT& value) {
    std::string text = hex(value.vt);
    if ((value.vt & VT_BYREF) == 0) return text + " " + valueText(value);
    if (value.byref == nullptr) return text + " -> nothing";
    if (value.vt == (VT_BYREF | VT_VARIANT)) return text + " -> " + describe(*value.pvarVal);
    const std::size_t size = referencedSize(value.vt);
    if (size == 0) return text + " -> ?";
    VARIANT view;
    VariantInit(&view);
    view.vt = static_cast<VARTYPE>(value.vt & ~VT_BYREF);
    std::memcpy(&view.llVal, value.byref, size);
    return text + " -> " + valueText(view);
}

Observation observe(const InvokeForm& invoke, const DispatchCall& call) {
    constexpr UINT kUnwritten = 0xDEADBEEF;
    ArgumentFrame frame(call);
    Observation seen;
    seen.argumentsBefore = frame.described();
    ExcepInfo exception;
    UINT argumentError = kUnwritten;
    seen.status =
        invoke(call.dispid, call.flags, frame.parameters(), call.wantResult ? seen.result.out() : nullptr,
               call.wantException ? exception.out() : nullptr, call.wantArgumentError ? &argumentError : nullptr);
    if (argumentError != kUnwritten) seen.argumentError = argumentError;
    EXCEPINFO& info = const_cast<EXCEPINFO&>(exception.value());
    if (info.pfnDeferredFillIn != nullptr)
        throwIfFailed(info.pfnDeferredFillIn(&info), "EXCEPINFO's pfnDeferredFillIn");
    seen.scode = info.scode;
    seen.wCode = info.wCode;
    if (info.bstrSource) seen.source = info.bstrSource;
    if (info.bstrDescription) seen.description = info.bstrDescription;
    seen.argumentsAfter = frame.described();
    return seen;
}

InvokeForm ownInvoke(IDispatch* object) {
    return [object](DISPID dispid, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                    UINT* argumentError) {
        return object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, parameters, result, exception,
                              argumentError);
    };
}

InvokeForm standardInvoke(IUnknown* earlyBound, ITypeInfo* interfaceInfo) {
    return [earlyBound, interfaceInfo](DISPID dispid, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                       EXCEPINFO* exception, UINT* argumentError) {
        return DispInvoke(earlyBound, interfaceInfo, dispid, flags, parameters, result, exception, argumentError);
    };
}

ComPtr<ITypeInfo> embeddedInterfaceInfo(const IID& iid) {
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(distFile(L"numori10.dll").c_str(), REGKIND_NONE, &library))) return nullptr;
    ComPtr<ITypeInfo> info;
    if (FAILED(library->GetTypeInfoOfGuid(iid, &info))) return nullptr;
    bool dispatchForm = false;
    {
        TypeAttr attributes(info.Get());
        dispatchForm = attributes && attributes->typekind == TKIND_DISPATCH;
    }
    if (!dispatchForm) return info;
    // A dual interface's dispatch description refers to its virtual-table one.
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> table;
    if (FAILED(info->GetRefTypeOfImplType(-1, &reference)) || FAILED(info->GetRefTypeInfo(reference, &table)))
        return nullptr;
    return table;
}

std::vector<std::string> differences(const Observation& library, const Observation& platform) {
    std::vector<std::string> found;
    auto compare = [&found](const std::string& what, const std::string& ours, const std::string& theirs) {
        if (ours != theirs) found.push_back(what + ": library " + ours + ", platform " + theirs);
    };
    compare("status", statusText(library.status), statusText(platform.status));
    compare("result", describe(*library.result.get()), describe(*platform.result.get()));
    if (library.status == DISP_E_EXCEPTION || platform.status == DISP_E_EXCEPTION) {
        compare("scode", statusText(library.scode), statusText(platform.scode));
        compare("wCode", std::to_string(library.wCode), std::to_string(platform.wCode));
    }
    if (platform.argumentError) {
        compare("argument position", library.argumentError ? std::to_string(*library.argumentError) : "unwritten",
                std::to_string(*platform.argumentError));
    }
    for (std::size_t k = 0; k < library.argumentsAfter.size() && k < platform.argumentsAfter.size(); ++k)
        compare("rgvarg[" + std::to_string(k) + "] afterwards", library.argumentsAfter[k], platform.argumentsAfter[k]);
    return found;
}

} // namespace wine_tests
