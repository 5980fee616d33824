// Writes and removes the registry entries of the stand-in's classes: each
// class identifier with this file as its in-process server (apartment
// threaded) and its programmatic identifier, both ways.
#pragma once

#include <windows.h>

namespace vxfu {

HRESULT registerClasses(const wchar_t* modulePath);
HRESULT unregisterClasses();

} // namespace vxfu
