// The type library embedded in this file, and the descriptions it holds.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>

namespace numoria::frame {

// The type library embedded in this file, loaded from the file's own path
// (not registered) on first use and kept until the module unloads.
Microsoft::WRL::ComPtr<ITypeLib> embeddedTypeLibrary();

// Path of the runtime constants library (Numoria10Runtime, TYPELIB resource
// 2 of this file), in the "file\\2" form LoadTypeLib understands.
std::wstring runtimeTypeLibraryPath();

// The runtime constants library of this file (not registered), kept alike.
Microsoft::WRL::ComPtr<ITypeLib> embeddedRuntimeTypeLibrary();

// The description of an interface or record of the library, or of an
// interface of the runtime library (the App object's).
Microsoft::WRL::ComPtr<ITypeInfo> typeInfoOf(REFGUID guid);

// Notice from the file's entry point: the module is unloading.
void releaseTypeLibraries(bool processEnding) noexcept;

} // namespace numoria::frame
