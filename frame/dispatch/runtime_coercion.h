// A VARIANT converted the way the runtime converts a value it is given:
// in the user's locale, with Null, overflow and other failures raised as the
// runtime's numbered errors (94, 6, 7, 13) rather than as dispatch statuses.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "frame/com/variant.h"

namespace numoria::frame {

Variant runtimeCoerced(const VARIANT& value, VARTYPE type);

} // namespace numoria::frame
