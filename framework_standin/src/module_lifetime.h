// Counts the objects and class-factory locks alive in the stand-in, which
// DllCanUnloadNow reports, and remembers the DLL's own module handle.
#pragma once

#include <windows.h>

namespace vxfu {

void module_object_created();
void module_object_destroyed();
void module_lock(bool lock);
bool module_in_use();

void set_module_handle(HMODULE module);
HMODULE module_handle();

} // namespace vxfu
