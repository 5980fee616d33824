#include "frame/server/type_library.h"

#include "frame/errors/frame_error.h"
#include "frame/server/module_state.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

ComPtr<ITypeLib> embeddedTypeLibrary() {
    ComPtr<ITypeLib> library;
    throwIfFailed(LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, &library));
    return library;
}

std::wstring runtimeTypeLibraryPath() { return modulePath() + L"\\2"; }

ComPtr<ITypeLib> embeddedRuntimeTypeLibrary() {
    ComPtr<ITypeLib> library;
    throwIfFailed(LoadTypeLibEx(runtimeTypeLibraryPath().c_str(), REGKIND_NONE, &library));
    return library;
}

ComPtr<ITypeInfo> typeInfoOf(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(embeddedTypeLibrary()->GetTypeInfoOfGuid(guid, &info))) return info;
    throwIfFailed(embeddedRuntimeTypeLibrary()->GetTypeInfoOfGuid(guid, &info));
    return info;
}

} // namespace numoria::frame
