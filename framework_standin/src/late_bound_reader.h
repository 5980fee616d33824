// Reads properties by name from an object the caller hands in (the library's
// App object, the runtime's Err object), the way a late-bound client would.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace vxfu {

// The object an argument holds, by value or by reference; nullptr if none.
IDispatch* argumentObject(const VARIANT& argument);

// The property's value as text; `fallback` when the object lacks it or fails.
std::wstring readPropertyText(IDispatch* object, const wchar_t* name, const std::wstring& fallback = L"?");

} // namespace vxfu
