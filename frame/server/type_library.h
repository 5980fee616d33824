// The type library embedded in this file, and the descriptions it holds.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>

namespace numoria::frame {

// Loads the embedded type library from this file's own path (not registered).
Microsoft::WRL::ComPtr<ITypeLib> embeddedTypeLibrary();

// Path of the runtime constants library (Numoria10Runtime, TYPELIB resource
// 2 of this file), in the "file\\2" form LoadTypeLib understands.
std::wstring runtimeTypeLibraryPath();

// Loads the runtime constants library from this file (not registered).
Microsoft::WRL::ComPtr<ITypeLib> embeddedRuntimeTypeLibrary();

// The description of an interface or record of the library, or of an
// interface of the runtime library (the App object's).
Microsoft::WRL::ComPtr<ITypeInfo> typeInfoOf(REFGUID guid);

} // namespace numoria::frame
