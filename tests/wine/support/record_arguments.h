// Matrix records as a host builds them for a call, well-formed or not: an
// Element array of any type, dimensions and bounds (or none), a record
// description of the platform's, of another record type, or none; and an
// exact description of a VARIANT argument (records and arrays included) to
// tell whether a call changed it.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

#include "numori10.h"
#include "support/automation_raii.h"

namespace wine_tests {

// An owned SAFEARRAY, destroyed with the object.
class OwnedArray {
public:
    OwnedArray() = default;
    explicit OwnedArray(SAFEARRAY* array) : array_(array) {}
    OwnedArray(const OwnedArray&) = delete;
    OwnedArray& operator=(const OwnedArray&) = delete;
    OwnedArray(OwnedArray&& other) noexcept : array_(other.array_) { other.array_ = nullptr; }
    OwnedArray& operator=(OwnedArray&& other) noexcept {
        std::swap(array_, other.array_);
        return *this;
    }
    ~OwnedArray() {
        if (array_) SafeArrayDestroy(array_);
    }
    SAFEARRAY* get() const { return array_; }
    SAFEARRAY** address() { return &array_; }

private:
    SAFEARRAY* array_ = nullptr;
};

// An array of `type` with these bounds ({count, lower bound}, first subscript
// first), its elements numbered 1, 2, 3, ... where the type is numeric.
OwnedArray numberedArray(VARTYPE type, const std::vector<SAFEARRAYBOUND>& bounds);

// The platform's description of the Matrix record (from the registered type
// library).
Microsoft::WRL::ComPtr<IRecordInfo> platformMatrixInfo();

// A record description of another record type: only its identity answers.
Microsoft::WRL::ComPtr<IRecordInfo> foreignRecordInfo();

// A Matrix record the host owns, to be passed as an argument in any form: m,
// n and an Element array it owns.
struct ArgumentRecord {
    short m = 0;
    short n = 0;
    OwnedArray element;

    Matrix* record(); // the record as the interface takes it (valid until the next call)

private:
    Matrix record_{};
};

// A record as a VT_RECORD argument (VT_BYREF when by_reference) pointing at
// the host's record. It holds no reference to `info` and owns nothing: never
// clear it (clearing a by-value record would free the host's array).
VARIANT recordVariant(ArgumentRecord& host, IRecordInfo* info, bool byReference);

// Everything a call could change in an argument: types, values, record
// fields, array descriptors (dimensions, bounds, features, locks) and bytes,
// followed through references.
std::string deepDescribe(const VARIANT& value);
std::string deepDescribe(const SAFEARRAY* array);

} // namespace wine_tests
