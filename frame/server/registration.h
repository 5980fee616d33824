// Writing and removing the library's registration: the type library, and for
// each class its class identifier, programmatic identifier and interface.
#pragma once

#include <windows.h>

namespace numoria::frame {

HRESULT registerServer() noexcept;
HRESULT unregisterServer() noexcept;

} // namespace numoria::frame
