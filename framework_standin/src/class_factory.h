// One class factory implementation for every class of the stand-in.
#pragma once

#include "named_dispatch.h"

namespace vxfu {

HRESULT createClassFactory(const ClassDescription& description, REFIID iid, void** factory);

} // namespace vxfu
