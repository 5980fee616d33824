// Creating an object by programmatic identifier and calling one of its
// methods by name, with failures raised as the runtime's numbered errors.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <span>

namespace numoria::frame {

// Raises 429 ("ActiveX component can't create object") when the class is
// unknown or cannot be created.
Microsoft::WRL::ComPtr<IDispatch> createObject(const wchar_t* progId);

// Calls `method` with `arguments` in declaration order; the result is
// discarded. A null object raises 91, an unknown name 438, an exception of
// the callee comes back with its own number, source and description.
void callMethod(IDispatch* object, const wchar_t* method, std::span<VARIANT> arguments);

} // namespace numoria::frame
