#include "frame/dispatch/array_arguments.h"

#include <dispex.h>
#include <wrl/client.h>

#include <string>

#include "frame/com/bstr.h"
#include "frame/dispatch/runtime_coercion.h"
#include "runtime/runtime_error.h"

namespace numoria::frame {

namespace {

constexpr USHORT kReferenceFeatures = FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT | FADF_RECORD;

[[noreturn]] void raiseArrayError(ErrorNumber number, const char* description) {
    throw RuntimeError(static_cast<std::int32_t>(number), kRuntimeErrorSource, description);
}

// The value of an object's property `dispid` read with no arguments; false
// when the object does not give one.
bool readProperty(IDispatch* object, DISPID dispid, Variant& value) {
    DISPPARAMS none{};
    return SUCCEEDED(object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value.out(),
                                    nullptr, nullptr));
}

bool holdsArray(const VARIANT& value) { return (referencedValue(value).vt & VT_ARRAY) != 0; }

// The identifier of an object's member `name`; script objects that answer
// only IDispatchEx's lookup are asked through it.
bool memberId(IDispatch* object, const wchar_t* name, DISPID& dispid) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid))) return true;
    Microsoft::WRL::ComPtr<IDispatchEx> script;
    if (FAILED(object->QueryInterface(IID_PPV_ARGS(&script)))) return false;
    const Bstr text(name);
    return SUCCEEDED(script->GetDispID(text.get(), fdexNameCaseInsensitive, &dispid));
}

// What an object argument stands for: its default property when that gives
// an array, or else its property named Value (what a worksheet range gives).
// Some objects without a default property answer its identifier all the
// same, with a value that is no array.
Variant valueOfObject(IDispatch* object) {
    if (object == nullptr) raiseRuntimeError(ErrorNumber::TypeMismatch);
    Variant value;
    if (readProperty(object, DISPID_VALUE, value) && holdsArray(*value.get())) return value;
    DISPID dispid = DISPID_UNKNOWN;
    if (memberId(object, L"Value", dispid) && readProperty(object, dispid, value)) return value;
    raiseRuntimeError(ErrorNumber::TypeMismatch);
}

// An object by value or by reference (an array of objects is no object).
bool isObject(const VARIANT& value) {
    const VARTYPE type = value.vt & ~VT_BYREF;
    return type == VT_DISPATCH || type == VT_UNKNOWN;
}

// The array a VARIANT holds, by value or by reference; null when it holds
// none (Null raises invalid use of Null, any other non-array type mismatch).
SAFEARRAY* arrayIn(const VARIANT& value) {
    if ((value.vt & ~VT_BYREF) == VT_NULL) raiseRuntimeError(ErrorNumber::InvalidUseOfNull);
    if ((value.vt & VT_ARRAY) == 0 || pointsAtNothing(value)) raiseRuntimeError(ErrorNumber::TypeMismatch);
    SAFEARRAY* array = (value.vt & VT_BYREF) != 0 ? *value.pparray : value.parray;
    if (array == nullptr) raiseRuntimeError(ErrorNumber::TypeMismatch);
    return array;
}

enum class ElementKind { Doubles, Variants };

// The kind of a two-dimensional array's elements, from its own description:
// anything but 8-byte doubles or VARIANTs is a type mismatch.
ElementKind elementKindOf(SAFEARRAY* array) {
    if (SafeArrayGetDim(array) != 2) raiseRuntimeError(ErrorNumber::TypeMismatch);
    VARTYPE type = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(array, &type))) raiseRuntimeError(ErrorNumber::TypeMismatch);
    const UINT size = SafeArrayGetElemsize(array);
    if (type == VT_R8 && size == sizeof(double) && (array->fFeatures & kReferenceFeatures) == 0)
        return ElementKind::Doubles;
    if (type == VT_VARIANT && size == sizeof(VARIANT) && (array->fFeatures & FADF_VARIANT) != 0)
        return ElementKind::Variants;
    raiseRuntimeError(ErrorNumber::TypeMismatch);
}

matrix::Dimension dimensionOf(const SAFEARRAYBOUND& bound) {
    if (bound.cElements == 0) raiseArrayError(ErrorNumber::InvalidProcedureCall, "The array has no elements");
    if (bound.cElements > kMostArrayDimension)
        raiseArrayError(ErrorNumber::Overflow, "The array has more than 32767 rows or columns");
    return {1, bound.cElements};
}

// One element of an array of VARIANTs as a double: objects and arrays are
// refused rather than asked for a value of their own.
double elementValue(const VARIANT& element) {
    const VARIANT& value = referencedValue(element);
    if (isObject(value) || (value.vt & VT_ARRAY) != 0 || (value.vt & VT_TYPEMASK) == VT_RECORD)
        raiseRuntimeError(ErrorNumber::TypeMismatch);
    return runtimeCoerced(value, VT_R8)->dblVal;
}

} // namespace

ArrayMatrix::ArrayMatrix(const VARIANT& argument) {
    const VARIANT* value = &referencedValue(argument);
    if (isObject(*value)) {
        if (pointsAtNothing(*value)) raiseRuntimeError(ErrorNumber::TypeMismatch);
        if ((value->vt & ~VT_BYREF) != VT_DISPATCH) raiseRuntimeError(ErrorNumber::TypeMismatch);
        propertyValue_ = valueOfObject((value->vt & VT_BYREF) != 0 ? *value->ppdispVal : value->pdispVal);
        value = &referencedValue(*propertyValue_.get());
    }
    SAFEARRAY* array = arrayIn(*value);
    const ElementKind kind = elementKindOf(array);
    // The array keeps its bounds last dimension first: rgsabound[1] is the row dimension.
    const matrix::Dimension rows = dimensionOf(array->rgsabound[1]);
    const matrix::Dimension columns = dimensionOf(array->rgsabound[0]);
    lock_ = SafeArrayData(array);
    if (lock_.data() == nullptr) raiseRuntimeError(ErrorNumber::TypeMismatch);
    matrix_.m = static_cast<std::int16_t>(rows.count);
    matrix_.n = static_cast<std::int16_t>(columns.count);
    if (kind == ElementKind::Doubles) {
        matrix_.Element = matrix::ElementArray::borrowing(static_cast<const double*>(lock_.data()), rows, columns);
        return;
    }
    matrix_.Element = matrix::ElementArray::withDimensions(rows, columns);
    const auto* elements = static_cast<const VARIANT*>(lock_.data());
    double* converted = matrix_.Element.data();
    for (std::size_t k = 0; k < matrix_.Element.size(); ++k) converted[k] = elementValue(elements[k]);
}

SafeArray variantArrayOf(const matrix::Matrix& result) {
    if (!result.Element.present()) throw FrameError(E_UNEXPECTED, u"The result has no elements");
    SAFEARRAYBOUND bounds[2] = {{result.Element.rows().count, 1}, {result.Element.columns().count, 1}};
    SafeArray array(SafeArrayCreate(VT_VARIANT, 2, bounds));
    if (array.get() == nullptr) raiseRuntimeError(ErrorNumber::OutOfMemory);
    if (result.Element.size() == 0) return array;
    SafeArrayData data(array.get());
    auto* elements = static_cast<VARIANT*>(data.data());
    const double* values = result.Element.data();
    for (std::size_t k = 0; k < result.Element.size(); ++k) {
        elements[k].vt = VT_R8;
        elements[k].dblVal = values[k];
    }
    return array;
}

} // namespace numoria::frame
