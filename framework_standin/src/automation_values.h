// Automation values in the stand-in: the owners of BSTRs and VARIANTs, so
// that every one it touches is freed on every path, and its conversions.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "frame/com/bstr.h"
#include "frame/com/variant.h"

namespace vxfu {

// The owners of the product's frame: one set for the library, the stand-in
// and the tests.
using numoria::frame::Bstr;
using numoria::frame::Variant;

// Converts a (possibly by-reference) argument to `type`; fails with the
// coercion status of the automation runtime.
HRESULT coerceArgument(const VARIANT& argument, VARTYPE type, Variant& out);

// The text of a VARIANT as the runtime would print it; "" when it has none.
std::wstring variantText(const VARIANT& value);

} // namespace vxfu
