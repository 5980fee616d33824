// How each C++ parameter and result type of a member handler crosses the
// automation boundary: its declared automation type, how a dispatch argument
// is coerced to it, and how the virtual-table form's raw parameter is read.
// The automation types themselves (numbers, text, VARIANT, objects); the
// application's own types (the Matrix record, CreateMatrix's value list) add
// their specializations in frame/classes/matrix_arguments.h.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "frame/com/bstr.h"
#include "frame/com/variant.h"
#include "frame/errors/frame_error.h"

namespace numoria::frame {

// The argument coerced to `type` in the user's locale; a failure names the
// argument's position.
Variant coercedArgument(const VARIANT& argument, VARTYPE type, std::size_t position);

template <class Raw>
const Raw& dereferenced(const Raw* pointer) {
    if (pointer == nullptr) throw FrameError(E_POINTER);
    return *pointer;
}

// Argument<T>: how a handler parameter of type T is read, through dispatch
// (late, from the VARIANT) and through the virtual table (early, from the
// raw parameter): its Holder, its declared type, and takesTheRest where it
// takes every trailing dispatch argument (a variable argument list).
template <class T>
struct Argument;

template <class T>
constexpr bool takesTheRest() {
    if constexpr (requires { Argument<T>::takesTheRest; })
        return Argument<T>::takesTheRest;
    else
        return false;
}

// The VARIANT field that holds each number type.
template <class T>
struct NumberField;

template <>
struct NumberField<std::int16_t> {
    static constexpr VARTYPE type = VT_I2;
    static SHORT& of(VARIANT& value) { return value.iVal; }
    static SHORT of(const VARIANT& value) { return value.iVal; }
};

template <>
struct NumberField<std::int32_t> {
    static constexpr VARTYPE type = VT_I4;
    static LONG& of(VARIANT& value) { return value.lVal; }
    static LONG of(const VARIANT& value) { return value.lVal; }
};

template <>
struct NumberField<double> {
    static constexpr VARTYPE type = VT_R8;
    static DOUBLE& of(VARIANT& value) { return value.dblVal; }
    static DOUBLE of(const VARIANT& value) { return value.dblVal; }
};

// A number argument through dispatch: as it is when it has the declared
// type, converted otherwise.
template <class T>
struct NumberArgument {
    using Holder = T;
    static constexpr VARTYPE type = NumberField<T>::type;
    static Holder late(const VARIANT& value, std::size_t position) {
        if (value.vt == type) return NumberField<T>::of(value);
        return NumberField<T>::of(*coercedArgument(value, type, position).get());
    }
};

template <>
struct Argument<std::int16_t> : NumberArgument<std::int16_t> {
    static Holder early(short value) { return value; }
    static Holder early(const short* value) { return dereferenced(value); }
};

template <>
struct Argument<std::int32_t> : NumberArgument<std::int32_t> {
    static Holder early(LONG value) { return value; }
    static Holder early(const LONG* value) { return dereferenced(value); }
    // A 32-bit enumeration of the type library, by reference.
    template <class Enumeration>
    requires(std::is_enum_v<Enumeration> && sizeof(Enumeration) == sizeof(LONG)) static Holder
        early(const Enumeration* value) {
        return static_cast<Holder>(dereferenced(value));
    }
};

template <>
struct Argument<double> : NumberArgument<double> {
    static Holder early(double value) { return value; }
};

// A text argument: the caller's string itself, read in place, or the string
// a conversion made, kept alive for the call.
class TextArgument {
public:
    explicit TextArgument(BSTR borrowed) : text_(textOf(borrowed)) {}
    explicit TextArgument(Variant converted) : converted_(std::move(converted)), text_(textOf(converted_->bstrVal)) {}
    operator std::u16string_view() const { return text_; }

private:
    Variant converted_;
    std::u16string_view text_; // moving converted_ keeps the string where it is
};

template <>
struct Argument<std::u16string_view> {
    using Holder = TextArgument;
    static constexpr VARTYPE type = VT_BSTR;
    static Holder late(const VARIANT& value, std::size_t position) {
        if (value.vt == VT_BSTR) return Holder(value.bstrVal);
        return Holder(coercedArgument(value, type, position));
    }
    static Holder early(BSTR value) { return Holder(value); }
};

template <>
struct Argument<const Variant&> {
    using Holder = Variant;
    static constexpr VARTYPE type = VT_VARIANT;
    static Holder late(const VARIANT& value, std::size_t position) {
        if (pointsAtNothing(value)) throw ArgumentError(DISP_E_TYPEMISMATCH, position);
        return copied(&value);
    }
    static Holder early(const VARIANT* value) { return copied(&dereferenced(value)); }
    static Holder copied(const VARIANT* value) {
        if (pointsAtNothing(*value)) throw FrameError(E_POINTER);
        Holder copy;
        throwIfFailed(VariantCopyInd(copy.get(), const_cast<VARIANT*>(value)));
        return copy;
    }
};

template <>
struct Argument<const Microsoft::WRL::ComPtr<IDispatch>&> {
    using Holder = Microsoft::WRL::ComPtr<IDispatch>;
    static constexpr VARTYPE type = VT_DISPATCH;
    static Holder late(const VARIANT& value, std::size_t position) {
        return coercedArgument(value, type, position)->pdispVal;
    }
    static Holder early(IDispatch* value) { return value; }
};

template <class T>
struct ResultType;

template <>
struct ResultType<void> {
    static constexpr VARTYPE type = VT_EMPTY;
};

// What stays in effect while a handler runs, by its result type (nothing
// unless an application type says otherwise).
template <class T>
struct ResultAllocation {};

// A number result: a VARIANT of its type, or the virtual-table form's
// out-parameter.
template <class T>
struct NumberResult {
    static constexpr VARTYPE type = NumberField<T>::type;
    static void late(T value, VARIANT* result) {
        result->vt = type;
        NumberField<T>::of(*result) = value;
    }
    template <class Raw>
    static void early(T value, Raw* result) {
        *result = value;
    }
};

template <>
struct ResultType<double> : NumberResult<double> {};
template <>
struct ResultType<std::int16_t> : NumberResult<std::int16_t> {};
template <>
struct ResultType<std::int32_t> : NumberResult<std::int32_t> {};

template <>
struct ResultType<std::u16string> {
    static constexpr VARTYPE type = VT_BSTR;
    static void late(const std::u16string& value, VARIANT* result) {
        result->bstrVal = Bstr(value).release();
        result->vt = VT_BSTR;
    }
    static void early(const std::u16string& value, BSTR* result) { *result = Bstr(value).release(); }
};

template <>
struct ResultType<Microsoft::WRL::ComPtr<IDispatch>> {
    static constexpr VARTYPE type = VT_DISPATCH;
    static void late(Microsoft::WRL::ComPtr<IDispatch> value, VARIANT* result) {
        result->vt = VT_DISPATCH;
        result->pdispVal = value.Detach();
    }
    template <class Interface>
    static void early(Microsoft::WRL::ComPtr<IDispatch> value, Interface** result) {
        *result = nullptr;
        if (value) throwIfFailed(value.CopyTo(result));
    }
};

template <>
struct ResultType<Variant> {
    static constexpr VARTYPE type = VT_VARIANT;
    static void late(Variant value, VARIANT* result) { value.moveTo(result); }
    static void early(Variant value, VARIANT* result) { value.moveTo(result); }
};

} // namespace numoria::frame
