// Counts the objects and class-factory locks alive in the stand-in, which
// DllCanUnloadNow reports, and remembers the DLL's own module handle.
#pragma once

#include <windows.h>

namespace vxfu {

void moduleObjectCreated();
void moduleObjectDestroyed();
void moduleLock(bool lock);
bool moduleInUse();

void setModuleHandle(HMODULE module);
HMODULE moduleHandle();

} // namespace vxfu
