// The three classes of the stand-in framework library, as tables.
#pragma once

#include "named_dispatch.h"

#include <span>

namespace vxfu {

// Every class, in registration order.
std::span<const ClassDescription> frameworkClasses();

} // namespace vxfu
